// Basic Windows types, result codes and constants shared by every port.
//
// The names are the project's own so that this header can sit beside <windows.h> in the Win32
// backend without clashing with its macros; the values are Windows' values, because callers branch
// on them and the Win32 backend passes them through unchanged.
#pragma once

#include <cstdint>

namespace qv {

using LStatus = int32_t;     // registry results (LSTATUS / LONG)
using HResult = int32_t;     // COM results
using ConfigRet = uint32_t;  // configuration-manager results (CONFIGRET)
using HWnd = void*;          // a parent window handle; the library only passes it through

// Win32 error codes (winerror.h).
constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorPathNotFound = 3;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kErrorInvalidHandle = 6;
constexpr int32_t kErrorNotEnoughMemory = 8;
constexpr int32_t kErrorBadFormat = 11;
constexpr int32_t kErrorInvalidData = 13;
constexpr int32_t kErrorNotSupported = 50;
constexpr int32_t kErrorInvalidParameter = 87;
constexpr int32_t kErrorInsufficientBuffer = 122;
constexpr int32_t kErrorBadPathname = 161;
constexpr int32_t kErrorMoreData = 234;
constexpr int32_t kErrorNoMoreItems = 259;
constexpr int32_t kErrorCancelled = 1223;
constexpr int32_t kErrorKeyDeleted = 1018;
constexpr int32_t kErrorBadkey = 1010;
constexpr int32_t kErrorCantOpen = 1011;
constexpr int32_t kErrorCantRead = 1012;
constexpr int32_t kErrorCantWrite = 1013;
constexpr int32_t kErrorRegistryCorrupt = 1015;
constexpr int32_t kErrorRegistryIoFailed = 1016;
constexpr int32_t kErrorChildMustBeVolatile = 1021;
constexpr int32_t kErrorGenFailure = 31;
constexpr int32_t kErrorDeviceNotConnected = 1167;
constexpr int32_t kErrorNoSuchDevinst = static_cast<int32_t>(0xE000020B);
constexpr int32_t kErrorClassMismatch = static_cast<int32_t>(0xE0000201);

// Configuration-manager results (cfgmgr32.h).
constexpr ConfigRet kCrSuccess = 0x00;
constexpr ConfigRet kCrInvalidDevinst = 0x05;
constexpr ConfigRet kCrBufferSmall = 0x1A;
constexpr ConfigRet kCrNoSuchDevinst = 0x0D;

// The thread's last error, as GetLastError/SetLastError keep it.
uint32_t GetLastError();
void SetLastError(uint32_t error);

}  // namespace qv
