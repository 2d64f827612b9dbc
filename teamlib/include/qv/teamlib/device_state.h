// Device state control: hiding adapters from the connection list and restarting them.
#pragma once

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"

namespace qv {

// Sets resp. clears the hidden flag (0x8) of Characteristics in an adapter's driver key.
// Not available yet in this build: they trace that and answer 0.
int HideNIC(HKey driverKey);
int ShowNIC(HKey driverKey);

// Disables and enables the device so that its driver sees new settings. Not available yet in this
// build: traces that and answers 0.
int DisableEnableDevice(HDevInfo set, DevInfoData* device);

}  // namespace qv
