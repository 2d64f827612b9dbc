// The OS-version port on Windows: GetVersionExW with OSVERSIONINFOEXW.
#include "qv/platform/os_version.h"

#include <windows.h>
#undef GetVersionEx  // windows.h's macro for GetVersionExW; the port means its own function

#include <cstddef>

namespace qv::os {
namespace {

static_assert(sizeof(OsVersionInfo) == sizeof(OSVERSIONINFOEXW), "OsVersionInfo mirrors OSVERSIONINFOEXW");
static_assert(offsetof(OsVersionInfo, majorVersion) == offsetof(OSVERSIONINFOEXW, dwMajorVersion));
static_assert(offsetof(OsVersionInfo, buildNumber) == offsetof(OSVERSIONINFOEXW, dwBuildNumber));
static_assert(offsetof(OsVersionInfo, platformId) == offsetof(OSVERSIONINFOEXW, dwPlatformId));
static_assert(offsetof(OsVersionInfo, csdVersion) == offsetof(OSVERSIONINFOEXW, szCSDVersion));
static_assert(offsetof(OsVersionInfo, servicePackMajor) == offsetof(OSVERSIONINFOEXW, wServicePackMajor));
static_assert(offsetof(OsVersionInfo, suiteMask) == offsetof(OSVERSIONINFOEXW, wSuiteMask));
static_assert(offsetof(OsVersionInfo, productType) == offsetof(OSVERSIONINFOEXW, wProductType));
static_assert(offsetof(OsVersionInfo, reserved) == offsetof(OSVERSIONINFOEXW, wReserved));
static_assert(kVerPlatformWin32Nt == VER_PLATFORM_WIN32_NT);

}  // namespace

bool GetVersionEx(OsVersionInfo* info) {
    // GetVersionExW is deprecated in newer SDKs but is the call the programs make; it reports the
    // version the program's manifest allows.
    return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(info)) != FALSE;
}

}  // namespace qv::os
