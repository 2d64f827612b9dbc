// Local-time port: the calendar fields of a moment in the machine's time zone, as the reentrant
// localtime of each C runtime gives them (localtime_s on Windows, localtime_r on Linux).
#pragma once

#include <ctime>

namespace qv::clk {

// False when the moment cannot be represented (*local is then unspecified).
bool LocalTime(std::time_t when, std::tm* local);

}  // namespace qv::clk
