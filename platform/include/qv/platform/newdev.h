// newdev.dll port: the library is loaded by name at run time and each of its three installation
// exports may be missing, as on older Windows versions. An export's address is called through the
// Call* function of its name, which knows its Windows signature.
#pragma once

#include <cstdint>

#include "qv/platform/devinst.h"
#include "qv/platform/wintypes.h"

namespace qv {

struct ModuleTag;
using HModule = ModuleTag*;

// UpdateDriverForPlugAndPlayDevicesW flags.
constexpr uint32_t kInstallFlagForce = 0x1;

namespace newdev {

// LoadLibraryW: null with the last error set when the library cannot be loaded.
HModule LoadLibrary(const char16_t* fileName);
// FreeLibrary.
bool FreeLibrary(HModule module);
// GetProcAddress: null (last error kErrorProcNotFound) when the module has no such export.
void* GetProcAddress(HModule module, const char* exportName);

// DiInstallDevice(parent, set, device, driver, flags, &needReboot).
bool CallDiInstallDevice(void* address, HWnd parent, HDevInfo set, DevInfoData* device, DrvInfoData* driver,
                         uint32_t flags, bool* needReboot);
// InstallSelectedDriver(parent, set, reserved, backup, &reboot).
bool CallInstallSelectedDriver(void* address, HWnd parent, HDevInfo set, const char16_t* reserved, bool backup,
                               uint32_t* reboot);
// UpdateDriverForPlugAndPlayDevicesW(parent, hardwareId, fullInfPath, installFlags, &rebootRequired).
bool CallUpdateDriverForPlugAndPlayDevices(void* address, HWnd parent, const char16_t* hardwareId,
                                           const char16_t* fullInfPath, uint32_t installFlags,
                                           bool* rebootRequired);

}  // namespace newdev
}  // namespace qv
