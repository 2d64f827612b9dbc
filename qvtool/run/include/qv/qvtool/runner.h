// One run of qvtool: parse, open the adapter, run the requested operations once each in their
// fixed order, clean up. Returns the exit status.
#pragma once

#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/options.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

int RunQvtool(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// The operations on an open adapter, in their fixed order, whatever the command-line order. The
// long ones show their progress on the line given (which shows nothing unless it is a terminal).
// A descriptor dump (-Q) is the last of them: the steps after it in the order do not run.
void RunRequestedOperations(const ParsedOptions& options, HDevice device, std::FILE* out,
                            ProgressLine* progress);

}  // namespace qv::qvtool
