// Windows XP and Server 2003 lack GetTickCount64, which the mingw-w64 thread library (linked
// statically into every program) imports for its timed waits; with that import a program would not
// even start there. The program defines the import's address slot itself, so the linker takes it
// instead of kernel32's entry: it points at the clock port's tick count, which calls the system's
// GetTickCount64 where it exists and extends the 32-bit count elsewhere. Linked into the programs
// only (the suites run on systems that have the call).
#include <windows.h>

#include "qv/platform/clock.h"

namespace {

ULONGLONG WINAPI TickCount64() {
    return qv::clk::TickCount();
}

}  // namespace

// The import slot's symbol: __imp_ followed by the decorated name (stdcall on 32-bit x86).
#if defined(__i386__)
#define QV_IMP_GET_TICK_COUNT64 "__imp__GetTickCount64@0"
#else
#define QV_IMP_GET_TICK_COUNT64 "__imp_GetTickCount64"
#endif

extern "C" {
extern ULONGLONG(WINAPI* const qvImportGetTickCount64)() __asm__(QV_IMP_GET_TICK_COUNT64);
__attribute__((used)) ULONGLONG(WINAPI* const qvImportGetTickCount64)() = TickCount64;
}
