// Handlers of the qvsim commands; the table is in machine_commands.cpp.
#pragma once

#include <span>
#include <string>

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
// "adapter <n> ..." (adapter_commands.cpp), and its usage: "<n> show | reset | reg <offset>
// [<value>] | ...", every form.
int RunAdapter(std::span<char* const> args);
std::string AdapterSynopsis();
// The network configuration's write lock (netcfg_commands.cpp).
int RunWriteLock(std::span<char* const> args);

// The network configuration's lines of show (netcfg_commands.cpp): "    bindings: ms_tcpip disabled,
// qv_qvteamp enabled" for an adapter with a disabled binding, nothing when every binding path of the
// adapter is enabled (or it has none yet); "Network configuration write lock: held by "NAME" (...)"
// while the lock is held, else nothing.
void ShowAdapterBindings(const std::u16string& adapterGuid);
void ShowWriteLock();

}  // namespace qvsim
