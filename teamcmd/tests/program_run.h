// The built QvTeamCmd as a process on a simulated machine, for the suites that run the program
// itself: its standard output and the exit status a shell sees (the low byte of the 32-bit status).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "qv/testing/program_run.h"

namespace qv::teamcmd {

// The banner every run prints first.
inline const std::string kBanner = "\nQuorvex Teaming Command line Utility (QvTeamCmd v2,0,1,5)\n";

using qv::testing::Exited;
using qv::testing::kRunLimit;

// Runs the program with QV_MACHINE set to machine (and the extra environment entries) and returns
// its standard output and exit code.
Exited RunProgram(const std::filesystem::path& machine, const std::vector<std::string>& args,
                  const std::vector<std::string>& extraEnv = {});

}  // namespace qv::teamcmd
