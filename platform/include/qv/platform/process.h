// Process port: enumeration of running processes by image name, as the single-instance checks use;
// starting a detached program; registered window messages broadcast to the running programs.
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

// GetSystemDirectoryW: the length without terminator when it fits in size units, else the size
// needed with terminator; 0 on failure.
uint32_t GetSystemDirectory(char16_t* buffer, uint32_t size);

// CreateProcessW of the program at path with no arguments: handles not inherited,
// DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, window hidden (STARTF_USESHOWWINDOW, SW_HIDE); the
// process and thread handles are closed at once. False with the last error when it cannot start.
bool StartDetachedProgram(const char16_t* path);

// RegisterWindowMessageW: the message number (0xC000 to 0xFFFF) of name, the same number for every
// program that registers the same name (compared without regard to case); 0 on failure.
uint32_t RegisterWindowMessage(const char16_t* name);

// BroadcastSystemMessageW(BSF_IGNORECURRENTTASK, BSM_APPLICATIONS, message, wParam, lParam): sends
// message to every running program but the caller. Positive on success, -1 on failure.
long BroadcastToApplications(uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace qv::proc
