// Device state control: hiding adapters from the connection list, restarting them, and the
// Windows XP offload refusal.
#pragma once

#include <cstdint>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/platform/wintypes.h"

namespace qv {

// NCF_HIDDEN: the Characteristics bit of a driver key that keeps the adapter out of the
// connection list.
constexpr uint32_t kNcfHidden = 0x8;

// Sets resp. clears the hidden flag (kNcfHidden) of Characteristics in an adapter's driver key.
// HideNIC: 1, or 0 when the value cannot be read or written. ShowNIC: 0 when it cannot be read,
// else 1 (a failed write is only traced).
int HideNIC(HKey driverKey);
int ShowNIC(HKey driverKey);

// Hides (hide 1) or shows (otherwise) the present adapter whose NetCfgInstanceId is guid's string
// form, then restarts it.
void ShowHideNic(const Guid& guid, int hide);

// Whether the present adapter whose NetCfgInstanceId is guid's string form has the hidden flag.
bool IsNicHidden(const Guid& guid);

// Disables resp. enables a device through DIF_PROPERTYCHANGE (scope global on Windows 5.2, else
// config-specific). 1 changed, 0 refused (DI_DONOTCALLCONFIGMG) or failed.
int DisableDevice(HDevInfo set, DevInfoData* device);
int EnableDevice(HDevInfo set, DevInfoData* device);

// Disables and enables the device so that its driver sees new settings; always 1.
int DisableEnableDevice(HDevInfo set, DevInfoData* device);

// Restarts the present adapter whose NetCfgInstanceId is guid. 1 when one was found, else 0 (the
// callers ignore the result).
int DisableEnableNic(const Guid& guid);

// True when the system is Windows XP (NT 5.1) and a physical adapter of provider "Quorvex" has
// TCPOffload "1": team creation is then refused.
bool IsWinXPAndOffload(HWnd window);

}  // namespace qv
