// The VLAN adapters of an adapter or a team, read back from the Adapters key's VlanBinding lists and
// the VLAN adapters' driver keys.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qv/platform/guid.h"
#include "qv/teamlib/inventory.h"

namespace qv {

// At most 64 VLANs per adapter or team; the readers stop there.
constexpr int kMaxVlans = 64;
constexpr int kVlanNameCapacity = 260;  // units, with terminator

struct VlanList {
    uint16_t ids[kMaxVlans];                       // low 16 bits of VlanID
    char16_t names[kMaxVlans][kVlanNameCapacity];  // VlanName
    Guid guids[kMaxVlans];                         // the VLAN adapters' GUIDs
    uint16_t count;
    // The VLAN adapter's network connection name (empty when it has none); the command-line
    // listing prints it.
    char16_t connectionNames[kMaxVlans][kAdapterNameCapacity];
};

// The VLANs of a physical adapter: true when its Adapters subkey could be opened (count is then
// the number found, possibly 0); false with count 0 otherwise.
bool GetVlanListForNic(const Guid& adapter, VlanList* list);

// The VLANs of a team, from the VlanBinding lists of every member whose TeamBinding names the team
// (each VLAN adapter once): true when the Adapters key could be opened.
bool GetVlanListForTeam(const Guid& team, VlanList* list);

// Fills list with the present virtual adapters named by a VlanBinding multi-string (units UTF-16
// units, which need not be terminated) that carry a VlanName, in the order of the devices in the
// system. Entries that name no present adapter, empty ones included, are skipped and the entries
// after them still read. True when the device list could be opened.
bool GetVlanIdForDevices(const char16_t* vlanBinding, size_t units, VlanList* list);

}  // namespace qv
