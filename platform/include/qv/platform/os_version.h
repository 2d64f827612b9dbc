// OS-version port: GetVersionExW with the extended structure.
#pragma once

#include <cstdint>

namespace qv {

constexpr uint32_t kVerPlatformWin32Nt = 2;

// OSVERSIONINFOEXW, field for field.
struct OsVersionInfo {
    uint32_t osVersionInfoSize = sizeof(OsVersionInfo);
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;
    uint32_t platformId = 0;
    char16_t csdVersion[128] = {};
    uint16_t servicePackMajor = 0;
    uint16_t servicePackMinor = 0;
    uint16_t suiteMask = 0;
    uint8_t productType = 0;
    uint8_t reserved = 0;
};

namespace os {

// GetVersionExW: false when info's size field is not sizeof(OsVersionInfo).
bool GetVersionEx(OsVersionInfo* info);

}  // namespace os
}  // namespace qv
