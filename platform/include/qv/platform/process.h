// Process port: enumeration of running processes by image name, as the single-instance checks use.
#pragma once

#include <cstdint>

namespace qv::proc {

// EnumProcesses: fills up to bufferBytes / 4 process ids; *bytesReturned is the bytes written.
bool EnumProcesses(uint32_t* processIds, uint32_t bufferBytes, uint32_t* bytesReturned);

// OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ) + EnumProcessModules (first module) +
// GetModuleBaseNameW + CloseHandle: the image base name of a process ("QvTeamCmd.exe"), with
// terminator, into name (capacity in units). Returns the length without terminator, 0 on failure
// (name then keeps what it held). On the simulated host, a running host binary "QvTeamCmd"
// reports the image name "QvTeamCmd.exe".
uint32_t GetProcessImageBaseName(uint32_t processId, char16_t* name, uint32_t capacity);

}  // namespace qv::proc
