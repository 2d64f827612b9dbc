// Program-entry port. The backend owns the C++ entry point: wmain on Windows, where the command line
// arrives as UTF-16, and main on Linux, where it arrives as UTF-8. Either hands the arguments
// (without the program name) to the program's ProgramMain as UTF-16 and ends with its status.
// A program that uses it defines ProgramMain and links qv_program_entry.
#pragma once

#include <span>
#include <string>

namespace qv {

// Defined by the program. The returned value is the process's exit status.
int ProgramMain(std::span<const std::u16string> args);

}  // namespace qv
