// Test support for suites that run the teaming library on a simulated machine (qv::testing::
// TempMachine from qv/testing/temp_machine.h): extra network adapters in the simulated device
// database, and direct access to the team store's registry entries. For tests only; never linked
// into a program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/guid.h"
#include "qv/sim/default_inventory.h"
#include "qv/testing/bytes.h"
#include "qv/testing/temp_machine.h"

namespace qv::testing {

// The inventory of a machine with no network adapters at all (and no bus drivers).
inline sim::InventoryOptions NoAdapters() {
    sim::InventoryOptions options;
    options.cards = 0;
    options.otherVendorAdapter = false;
    return options;
}

// The GUIDs of the default inventory's n5 ports (index 0..3) and of the other vendor's adapter.
std::u16string DefaultPortGuid(int index);
inline constexpr char16_t kOtherVendorGuid[] = u"{6E770001-0000-4000-8000-000000000001}";

// A network adapter to add to the simulated device database.
struct SimAdapter {
    std::u16string instanceId;  // "ROOT\\NET\\0001" for a virtual adapter, "PCI\\..." for physical
    std::u16string guid;        // NetCfgInstanceId
    std::u16string provider = u"Quorvex";
    std::u16string description = u"Quorvex n5 Virtual Adapter";
    std::u16string friendlyName;     // none when empty
    std::u16string connectionName;   // no Connection key when empty
    std::optional<uint32_t> vlanId;  // VLAN adapters carry VlanID in their driver key
    bool present = true;
};

// Writes the adapter's Enum node, a new driver key under the network class, its connection name
// and its simulator state. False when a registry write failed.
bool AddSimAdapter(const SimAdapter& adapter);

// A team virtual adapter (ROOT\NET\<number>) of provider Quorvex named name (friendly and
// connection name).
bool AddTeamAdapter(int number, const std::u16string& guid, const std::u16string& name);

// Writes an Adapters entry of the team store for member: each value only when given.
// teamBinding is the team adapter's GUID string (written as "\Device\<guid>").
bool WriteStoreEntry(const std::u16string& member, const std::optional<std::u16string>& teamAdapterGuid,
                     std::optional<uint32_t> teamNumber, std::optional<uint32_t> order);

// Raw access to a value of HKLM\<path>: its bytes and type, or nullopt when it cannot be read.
std::optional<std::vector<uint8_t>> ReadValueBytes(const std::u16string& path, const std::u16string& name,
                                                   uint32_t* type = nullptr);
bool WriteValueBytes(const std::u16string& path, const std::u16string& name, uint32_t type,
                     const std::vector<uint8_t>& bytes);
// HKLM\System\CurrentControlSet\Services\qvteamp\Parameters\Adapters\<member>.
std::u16string StoreEntryPath(const std::u16string& member);
// HKLM path of the driver key of the adapter whose NetCfgInstanceId is guid; empty when none.
std::u16string DriverKeyPathOf(const std::u16string& guid);

}  // namespace qv::testing
