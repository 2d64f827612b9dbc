// Basic Windows types shared by every port, the result codes (result_codes.h) and the thread's
// last error.
//
// The names are the project's own so that this header can sit beside <windows.h> in the Win32
// backend without clashing with its macros; the values are Windows' values, because callers branch
// on them and the Win32 backend passes them through unchanged.
#pragma once

#include <cstdint>

#include "qv/platform/result_codes.h"

namespace qv {

using HWnd = void*;  // a parent window handle; the library only passes it through

// Generic access rights (winnt.h), which each kind of object maps to its own rights.
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kGenericExecute = 0x20000000u;
constexpr uint32_t kGenericAll = 0x10000000u;
constexpr uint32_t kMaximumAllowed = 0x02000000u;

// The thread's last error, as GetLastError/SetLastError keep it.
Win32Error GetLastError();
void SetLastError(Win32Error error);

}  // namespace qv
