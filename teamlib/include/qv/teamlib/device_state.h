// Device state control: hiding adapters from the connection list and restarting them.
#pragma once

#include <cstdint>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"

namespace qv {

// NCF_HIDDEN: the Characteristics bit of a driver key that keeps the adapter out of the
// connection list.
constexpr uint32_t kNcfHidden = 0x8;

// Sets resp. clears the hidden flag (kNcfHidden) of Characteristics in an adapter's driver key.
// Not available yet in this build: they trace that and answer 0.
int HideNIC(HKey driverKey);
int ShowNIC(HKey driverKey);

// Disables and enables the device so that its driver sees new settings. Not available yet in this
// build: traces that and answers 0.
int DisableEnableDevice(HDevInfo set, DevInfoData* device);

}  // namespace qv
