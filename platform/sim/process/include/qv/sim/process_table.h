// The process table of a simulated machine: the simulated Windows programs running on it, which
// is what the machine's process list shows (programs started on another machine, and the other
// processes of the Linux host, are not on this one).
//
// A program enters itself when it starts (the program entry does it) and stays in the table for as
// long as it runs, however it ends. The table is the file processes in the machine directory: a
// slot per process with its process id and image name, owned through a lock that the process
// holds while it runs (up to 64 processes per machine).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::sim {

struct MachineProcess {
    uint32_t pid;
    std::string imageName;  // UTF-8, as registered ("QvTeamCmd.exe"); empty while being written
};

// Enters the calling process under imageName in the table of the machine MachineDir() names,
// making that directory a machine directory if it is missing or empty. A process has one entry:
// registering again replaces it (also on another machine). False with the reason in *error when the table cannot be written.
bool RegisterProcess(std::string_view imageName, std::string* error);

// Takes the calling process out of the table. A forked child leaves its parent's entry alone.
void UnregisterProcess();

// The processes in the table of the machine MachineDir() names, the caller first when it is in it.
std::vector<MachineProcess> ListMachineProcesses();

// The image name under which the table lists pid, when it lists it.
std::optional<std::string> RegisteredImageName(uint32_t pid);

// The image name a host program has on Windows: the base name of its executable with ".exe"
// appended unless it already ends so (ignoring case); "QvTeamCmd" becomes "QvTeamCmd.exe".
std::string WindowsImageName(std::string_view executableBaseName);

}  // namespace qv::sim
