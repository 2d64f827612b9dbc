// The process port on Windows: psapi pass-throughs.
#include "qv/platform/process.h"

// psapi.dll's own exports, which Windows XP and Server 2003 have; version 2 would bind the calls to
// kernel32's K32 names, which appeared only in Windows 7.
#define PSAPI_VERSION 1
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

// windows.h makes GetSystemDirectory and RegisterWindowMessage macros for their W functions, which
// would define the port's functions under those names; the port's callers see no windows.h.
#undef GetSystemDirectory
#undef RegisterWindowMessage

namespace qv::proc {

bool EnumProcesses(uint32_t* processIds, uint32_t bufferBytes, uint32_t* bytesReturned) {
    static_assert(sizeof(DWORD) == sizeof(uint32_t));
    return ::EnumProcesses(reinterpret_cast<DWORD*>(processIds), bufferBytes,
                           reinterpret_cast<DWORD*>(bytesReturned)) != FALSE;
}

uint32_t GetProcessImageBaseName(uint32_t processId, char16_t* name, uint32_t capacity) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr) return 0;
    HMODULE module = nullptr;
    DWORD needed = 0;
    uint32_t length = 0;
    if (EnumProcessModules(process, &module, sizeof module, &needed)) {
        length = GetModuleBaseNameW(process, module, reinterpret_cast<wchar_t*>(name), capacity);
    }
    CloseHandle(process);
    return length;
}

uint32_t GetSystemDirectory(char16_t* buffer, uint32_t size) {
    return ::GetSystemDirectoryW(reinterpret_cast<wchar_t*>(buffer), size);
}

bool StartDetachedProgram(const char16_t* path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(reinterpret_cast<const wchar_t*>(path), nullptr, nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

uint32_t RegisterWindowMessage(const char16_t* name) {
    return ::RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(name));
}

long BroadcastToApplications(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    DWORD recipients = BSM_APPLICATIONS;
    return ::BroadcastSystemMessageW(BSF_IGNORECURRENTTASK, &recipients, message, wParam, lParam);
}

}  // namespace qv::proc
