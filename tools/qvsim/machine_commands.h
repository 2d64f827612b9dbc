// Handlers of the machine commands; the table is in machine_commands.cpp.
#pragma once

#include <span>

namespace qvsim {

int RunInit(std::span<char* const> args);
int RunShow(std::span<char* const> args);
int RunExport(std::span<char* const> args);
int RunImport(std::span<char* const> args);
int RunSetAdmin(std::span<char* const> args);
// Sets the OS version GetVersionEx answers (machine_init.cpp, which parses it for init too).
int RunOs(std::span<char* const> args);
int RunDevice(std::span<char* const> args);
// What a network adapter answers to NDIS queries (machine_ndis.cpp).
int RunNdis(std::span<char* const> args);
// How newdev.dll and the simulated team miniport behave (machine_drivers.cpp), and the lines of
// show that tell it when it differs from the default.
int RunNewdev(std::span<char* const> args);
int RunMiniport(std::span<char* const> args);
void ShowInstallSettings();
// The machine's process table, and a registered message broadcast to its programs
// (machine_processes.cpp).
int RunProcesses(std::span<char* const> args);
int RunBroadcast(std::span<char* const> args);

}  // namespace qvsim
