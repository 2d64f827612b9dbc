// Windows result codes, by family, with Windows' values: the ports return them unchanged and
// callers branch on them, so each code is defined here once and nowhere else.
//
// Families and their types:
// - Win32 errors (winerror.h) and SetupAPI's errors (setupapi.h, 0xE000xxxx): Win32Error, the
//   type of the thread's last error. Registry calls return the same codes as LStatus (LONG), whose
//   values all fit in int32_t; the 0xE000xxxx codes never come from the registry, so compare them
//   only with Win32Error values.
// - configuration-manager results (cfgmgr32.h): ConfigRet.
// - COM results (winerror.h, netcfgx.h): HResult.
#pragma once

#include <cstdint>

namespace qv {

using Win32Error = uint32_t;  // GetLastError / SetLastError, ERROR_*
using LStatus = int32_t;      // registry results (LSTATUS / LONG), ERROR_* values
using ConfigRet = uint32_t;   // configuration-manager results (CONFIGRET)
using HResult = int32_t;      // COM results (HRESULT)

// Win32 errors (winerror.h).
constexpr Win32Error kErrorSuccess = 0;
constexpr Win32Error kErrorInvalidFunction = 1;
constexpr Win32Error kErrorFileNotFound = 2;
constexpr Win32Error kErrorPathNotFound = 3;
constexpr Win32Error kErrorAccessDenied = 5;
constexpr Win32Error kErrorInvalidHandle = 6;
constexpr Win32Error kErrorNotEnoughMemory = 8;
constexpr Win32Error kErrorBadFormat = 11;
constexpr Win32Error kErrorNoMoreFiles = 18;
constexpr Win32Error kErrorInvalidData = 13;
constexpr Win32Error kErrorGenFailure = 31;
constexpr Win32Error kErrorNotSupported = 50;
constexpr Win32Error kErrorInvalidParameter = 87;
constexpr Win32Error kErrorInsufficientBuffer = 122;
constexpr Win32Error kErrorInvalidName = 123;
constexpr Win32Error kErrorBadPathname = 161;
constexpr Win32Error kErrorMoreData = 234;
constexpr Win32Error kErrorNoMoreItems = 259;
constexpr Win32Error kErrorInvalidFlags = 1004;
constexpr Win32Error kErrorFileInvalid = 1006;
constexpr Win32Error kErrorBadkey = 1010;
constexpr Win32Error kErrorCantOpen = 1011;
constexpr Win32Error kErrorCantRead = 1012;
constexpr Win32Error kErrorCantWrite = 1013;
constexpr Win32Error kErrorRegistryCorrupt = 1015;
constexpr Win32Error kErrorRegistryIoFailed = 1016;
constexpr Win32Error kErrorKeyDeleted = 1018;
constexpr Win32Error kErrorChildMustBeVolatile = 1021;
constexpr Win32Error kErrorDeviceNotConnected = 1167;
constexpr Win32Error kErrorCancelled = 1223;
constexpr Win32Error kErrorProcNotFound = 127;
constexpr Win32Error kErrorModNotFound = 126;
constexpr Win32Error kErrorInvalidUserBuffer = 1784;

// SetupAPI errors (setupapi.h: APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | code).
constexpr Win32Error kErrorExpectedSectionName = 0xE0000000;
constexpr Win32Error kErrorBadSectionNameLine = 0xE0000001;
constexpr Win32Error kErrorSectionNameTooLong = 0xE0000002;
constexpr Win32Error kErrorGeneralSyntax = 0xE0000003;
constexpr Win32Error kErrorWrongInfStyle = 0xE0000100;
constexpr Win32Error kErrorSectionNotFound = 0xE0000101;
constexpr Win32Error kErrorLineNotFound = 0xE0000102;
constexpr Win32Error kErrorNoAssociatedClass = 0xE0000200;
constexpr Win32Error kErrorClassMismatch = 0xE0000201;
constexpr Win32Error kErrorNoDriverSelected = 0xE0000203;
constexpr Win32Error kErrorKeyDoesNotExist = 0xE0000204;
constexpr Win32Error kErrorInvalidRegProperty = 0xE0000209;
constexpr Win32Error kErrorInvalidClass = 0xE0000206;
constexpr Win32Error kErrorDevinstAlreadyExists = 0xE0000207;
constexpr Win32Error kErrorDevinfoNotRegistered = 0xE0000208;
constexpr Win32Error kErrorNoInf = 0xE000020A;
constexpr Win32Error kErrorNoSuchDevinst = 0xE000020B;
constexpr Win32Error kErrorNoClassinstallParams = 0xE0000215;
constexpr Win32Error kErrorNoCompatDrivers = 0xE0000228;
// Device creation and selection.
constexpr Win32Error kErrorInvalidDevinstName = 0xE0000205;
constexpr Win32Error kErrorNoDeviceSelected = 0xE0000211;

// Configuration-manager results (cfgmgr32.h).
constexpr ConfigRet kCrSuccess = 0x00;
constexpr ConfigRet kCrInvalidPointer = 0x03;
constexpr ConfigRet kCrInvalidFlag = 0x04;
constexpr ConfigRet kCrInvalidDevinst = 0x05;
constexpr ConfigRet kCrNoSuchDevinst = 0x0D;
constexpr ConfigRet kCrBufferSmall = 0x1A;

// COM results (winerror.h).
constexpr HResult kSOk = 0;
constexpr HResult kSFalse = 1;
constexpr HResult kENotImpl = static_cast<HResult>(0x80004001);
constexpr HResult kEPointer = static_cast<HResult>(0x80004003);
constexpr HResult kEFail = static_cast<HResult>(0x80004005);
constexpr HResult kEOutOfMemory = static_cast<HResult>(0x8007000E);
constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057);

// HRESULT_FROM_WIN32: a Win32 error as a failure of FACILITY_WIN32; success stays 0.
constexpr HResult HResultFromWin32(Win32Error error) {
    return static_cast<int32_t>(error) <= 0
               ? static_cast<HResult>(error)
               : static_cast<HResult>((error & 0xFFFF) | (7u << 16) | 0x80000000u);
}

// Network-configuration results (netcfgx.h: FACILITY_ITF codes 0xA0xx).
constexpr HResult kNetcfgEAlreadyInitialized = static_cast<HResult>(0x8004A020);
constexpr HResult kNetcfgENotInitialized = static_cast<HResult>(0x8004A021);
constexpr HResult kNetcfgEInUse = static_cast<HResult>(0x8004A022);
constexpr HResult kNetcfgENoWriteLock = static_cast<HResult>(0x8004A024);
constexpr HResult kNetcfgENeedReboot = static_cast<HResult>(0x8004A025);
constexpr HResult kNetcfgSReboot = 0x0004A020;

// COM activation and setup results met by the network-configuration calls (winerror.h).
constexpr HResult kCoENotInitialized = static_cast<HResult>(0x800401F0);
constexpr HResult kRegdbEClassNotReg = static_cast<HResult>(0x80040154);
constexpr HResult kSpapiENoDriverSelected = static_cast<HResult>(0x800F0203);  // HRESULT_FROM_SETUPAPI

constexpr bool Succeeded(HResult result) {
    return result >= 0;
}

}  // namespace qv
