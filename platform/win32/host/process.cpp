// The process port on Windows: psapi pass-throughs.
#include "qv/platform/process.h"

// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

// psapi.h may map EnumProcesses to K32EnumProcesses with a macro, which would rename the port's own
// function as well; call the exported function by its real name instead.
#ifdef EnumProcesses
#undef EnumProcesses
#define QV_NATIVE_ENUM_PROCESSES K32EnumProcesses
#else
#define QV_NATIVE_ENUM_PROCESSES ::EnumProcesses
#endif

namespace qv::proc {

bool EnumProcesses(uint32_t* processIds, uint32_t bufferBytes, uint32_t* bytesReturned) {
    static_assert(sizeof(DWORD) == sizeof(uint32_t));
    return QV_NATIVE_ENUM_PROCESSES(reinterpret_cast<DWORD*>(processIds), bufferBytes,
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

}  // namespace qv::proc
