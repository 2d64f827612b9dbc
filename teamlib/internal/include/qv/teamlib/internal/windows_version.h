// The Windows version as the device-state and installation rules need it.
#pragma once

#include "qv/platform/os_version.h"

namespace qv {

// GetVersionExW with the extended record; false when the call fails.
inline bool ReadWindowsVersion(OsVersionInfo* info) {
    *info = OsVersionInfo{};
    return os::GetVersionEx(info);
}

}  // namespace qv
