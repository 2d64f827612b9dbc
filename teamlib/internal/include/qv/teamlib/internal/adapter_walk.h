// The walk over the present network adapters that every inventory operation shares: classify each
// device, open its driver key, read its GUID and keep only the adapters the library manages.
#pragma once

#include <functional>
#include <string_view>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/platform/wintypes.h"

namespace qv {

// kOther: a root-enumerated device outside ROOT\NET, handed over only with WalkFilter::everyDevice.
enum class AdapterClass { kPhysical, kVirtual, kOther };

// One adapter as the walk hands it over; the key and the device set stay open during the visit.
struct WalkedAdapter {
    HDevInfo set;
    DevInfoData* device;
    AdapterClass adapterClass;
    HKey driverKey;
    const char16_t* guidString;  // NetCfgInstanceId as stored
    Guid guid;
};

enum class WalkStep { kContinue, kStop };

struct WalkFilter {
    bool physical = true;
    // Virtual adapters are taken only when their provider begins with "Quorvex" (any case) and
    // they carry no VlanID: team adapters, never VLAN adapters or other vendors' virtual adapters.
    bool virtualTeamAdapters = true;
    // Every present network device with a driver key and a GUID, whatever its kind and provider
    // (VLAN adapters and other vendors' virtual adapters included): for operations that look a
    // device up by its GUID alone. The two fields above are then ignored.
    bool everyDevice = false;
};

// Calls visit for each adapter that passes filter, until it answers kStop. Returns false when the
// device list cannot be opened. Devices without a readable driver key or GUID are skipped.
bool WalkAdapters(HWnd parent, const WalkFilter& filter,
                  const std::function<WalkStep(WalkedAdapter&)>& visit);

// Reads a string device property into buffer (byteSize bytes, at most the buffer's size); the
// result is always terminated within the buffer. A property stored larger than byteSize (names are
// written padded to a fixed size) is still read when its text up to the terminator fits. False
// when it cannot be read.
bool ReadDeviceText(HDevInfo set, DevInfoData* device, uint32_t property, char16_t* buffer,
                    uint32_t capacityUnits, uint32_t byteSize);

// Sets the friendly name: name cut to what fits a property of maxBytes bytes with its terminator
// (127 characters for 256 bytes), stored with its own length. Names used to be stored padded to
// maxBytes, which a reader with a smaller buffer cannot read at all. False when it cannot be set.
bool WriteFriendlyName(HDevInfo set, DevInfoData* device, std::u16string_view name, uint32_t maxBytes);

// The friendly name, else the description.
bool ReadDisplayName(HDevInfo set, DevInfoData* device, char16_t* buffer, uint32_t capacityUnits,
                     uint32_t byteSize);

}  // namespace qv
