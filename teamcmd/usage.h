// The usage text of QvTeamCmd: synopsis, "Options Help:" and the help of each option.
#pragma once

#include <string>

namespace qv::teamcmd {

// The whole usage text as the console shows it.
std::string UsageText();
// Prints it with the narrow print, in its three pieces.
void PrintUsage();

}  // namespace qv::teamcmd
