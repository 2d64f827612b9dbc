// One run of QvTeamCmd: banner, instance check, option parsing and the one command it selects.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qv::teamcmd {

// The version the banner shows.
inline constexpr char kVersionText[] = "2,0,1,5";

// args are the arguments after the program name. Returns the process exit status.
uint32_t RunQvTeamCmd(std::span<const std::u16string> args);

}  // namespace qv::teamcmd
