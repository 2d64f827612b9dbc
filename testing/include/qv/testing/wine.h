// Whether a suite of the windows build runs under Wine rather than on Windows, so that a case can
// skip what Wine lacks with the reason ("known Wine gap: ...") instead of being weakened.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace qv::testing {

inline bool RunningUnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

}  // namespace qv::testing
