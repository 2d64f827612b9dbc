// The option parser of QvTeamCmd: a pure function from the argument vector to the command record,
// the parse status and the console text that parsing produced (messages and, on an error, the
// usage text). The main flow prints the text and dispatches on the record.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "command_record.h"

namespace qv::teamcmd {

struct ParseResult {
    CommandRecord record;  // cleared, then filled by the options
    uint32_t status;       // 0, or QV_USAGE_ERROR
    std::string output;    // what the console shows, UTF-8
};

// args are the arguments after the program name. A NUL inside an argument ends it, as it would in
// a C string.
std::unique_ptr<ParseResult> ParseCommandLine(std::span<const std::u16string> args);

}  // namespace qv::teamcmd
