// GetVlanIdForDevices: matches the entries of a VlanBinding list against the present virtual
// adapters and collects each match's VlanID, VlanName, GUID and connection name.
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan_list.h"

namespace qv {
namespace {

constexpr uint32_t kVlanNameBytes = 520;

// One entry of the binding list: the text after "\Device\" and the GUID it names.
struct BoundVlan {
    std::u16string guidText;
    Guid guid;
};

// Splits the multi-string at its terminators, bounded by units, up to the first empty entry.
// Entries whose text after the prefix is not a GUID string cannot name an adapter and are dropped
// (an empty one would otherwise match every adapter).
std::vector<BoundVlan> ParseBindingList(const char16_t* list, size_t units) {
    std::vector<BoundVlan> entries;
    size_t start = 0;
    while (list != nullptr && start < units) {
        size_t end = start;
        while (end < units && list[end] != u'\0') {
            ++end;
        }
        if (end == start) {
            break;
        }
        const std::u16string entry(list + start, end - start);
        start = end + 1;
        const OwnedU16 text = RemoveDevicePrefix(entry.c_str());
        BoundVlan bound{};
        if (!text || !GuidFromString(text.get(), &bound.guid)) {
            QvTrace(u"   GetVlanIdForDevices: ignoring binding %s", entry.c_str());
            continue;
        }
        bound.guidText = text.get();
        entries.push_back(std::move(bound));
    }
    return entries;
}

// Adds the VLAN adapter of driverKey at list->count when it has a readable VlanName.
bool AddVlan(HKey driverKey, const char16_t* instanceId, const BoundVlan& bound, VlanList* list) {
    char16_t name[kVlanNameBytes / 2 + 1] = {};
    uint32_t type = 0;
    uint32_t size = kVlanNameBytes;
    if (reg::QueryValueEx(driverKey, u"VlanName", &type, reinterpret_cast<uint8_t*>(name), &size) !=
        kErrorSuccess) {
        QvTrace(u"   GetVlanIdForDevices: no VlanName on %s", instanceId);
        return false;
    }
    uint32_t vlanId = 0;  // a VLAN adapter without VlanID is listed with id 0
    size = sizeof vlanId;
    if (reg::QueryValueEx(driverKey, u"VlanID", &type, reinterpret_cast<uint8_t*>(&vlanId), &size) !=
        kErrorSuccess) {
        vlanId = 0;
    }
    const int index = list->count;
    list->ids[index] = static_cast<uint16_t>(vlanId & 0xFFFF);
    U16CopyInto(list->names[index], kVlanNameCapacity, name);
    list->guids[index] = bound.guid;
    ReadConnectionName(instanceId, list->connectionNames[index], kAdapterNameCapacity);
    ++list->count;
    return true;
}

}  // namespace

bool GetVlanIdForDevices(const char16_t* vlanBinding, size_t units, VlanList* list) {
    QvTrace(u"-->GetVlanIdForDevices:");
    list->count = 0;
    const std::vector<BoundVlan> entries = ParseBindingList(vlanBinding, units);

    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    if (!set.valid()) {
        QvTrace(u"<--GetVlanIdForDevices: no device list");
        return false;
    }
    DevInfoData device{};
    for (uint32_t index = 0; list->count < kMaxVlans && dev::EnumDeviceInfo(set.get(), index, &device);
         ++index) {
        if (!IsVirtualNIC(device)) {
            continue;
        }
        ScopedKey driverKey(dev::OpenDevRegKey(set.get(), &device, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead));
        OwnedU16 instanceId;
        if (!driverKey.valid() ||
            !ReadStringFromRegistry(driverKey.get(), u"NetCfgInstanceId", &instanceId)) {
            continue;
        }
        const std::u16string_view id(instanceId.get());
        for (const BoundVlan& bound : entries) {
            if (id.starts_with(bound.guidText)) {
                AddVlan(driverKey.get(), instanceId.get(), bound, list);
                break;
            }
        }
    }
    QvTrace(u"<--GetVlanIdForDevices: %d", static_cast<int>(list->count));
    return true;
}

}  // namespace qv
