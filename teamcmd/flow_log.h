// The log bursts of a command flow: with -f the log is opened, written and closed again for each
// burst; without -f nothing is written.
#pragma once

#include "command_record.h"

namespace qv::teamcmd {

// The log header (separator and time). False only when OPT_LOG is set and the log cannot be
// opened: the flow then ends the run with QV_LOG_FILE_UNAVAILABLE.
bool LogFlowHeader(const CommandRecord& record);

// One printf-style UTF-16 text (conventions of U16Format); false as for LogFlowHeader.
bool LogFlowText(const CommandRecord& record, const char16_t* format, ...);

}  // namespace qv::teamcmd
