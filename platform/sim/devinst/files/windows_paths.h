// Windows paths on the simulated host: their full form, and the host folder they stand for.
//
// The machine's Windows directory (qv/sim/host_state.h, WindowsDirectory) is the folder Windows/ of
// the machine directory. It is also the simulated processes' current directory. A path below it maps
// to the file below Windows/, each component matched without regard to case; every other path (other
// folders, other drives, UNC paths) names nothing, so that no call ever reaches a host file outside
// the machine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv::sim::winpath {

// What GetFullPathNameW makes of path: "/" turned into "\", "." and ".." resolved (never above the
// drive), repeated separators and trailing dots and spaces of components dropped, a trailing
// separator kept. A relative path is taken from the Windows directory, "\x" and "D:x" from the root
// of their drive. UNC paths ("\\server\share\...") are only given "\" separators. nullopt for an
// empty path or when the Windows directory is unusable.
std::optional<std::u16string> FullPath(std::u16string_view path);

// The host file or folder a path stands for (taken to its full form first); nullopt when it lies
// outside the Windows directory or has a component Windows would refuse (<>:"|?* or a control
// character).
std::optional<std::filesystem::path> HostPath(std::u16string_view path);

// Whether name matches pattern: "*" any run of characters, "?" any one, the rest compared without
// regard to case; "*.*" matches every name, as on Windows.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

}  // namespace qv::sim::winpath
