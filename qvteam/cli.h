// One run of qvteam: the command line (parsed with CLI11) and the command it names. What the run
// prints to standard output and standard error is collected in strings, so that suites check whole
// runs in-process.
#pragma once

#include <span>
#include <string>

namespace qv::qvteam {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;

struct RunOutput {
    std::string out;
    std::string err;
};

// args are the arguments after the program name, UTF-8. Returns the exit status.
int RunQvteam(std::span<const std::string> args, RunOutput* output);

}  // namespace qv::qvteam
