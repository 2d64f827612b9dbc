// GetVlanIdForDevices and the lookup behind every VLAN list: the entries of VlanBinding lists are
// matched, as GUIDs, against the present virtual adapters, and each match's VlanID, VlanName, GUID
// and connection name are collected.
#include <algorithm>
#include <string>

#include "bound_vlans.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr uint32_t kVlanNameBytes = 520;

// Adds the VLAN adapter of driverKey at list->count when it has a readable VlanName.
bool AddVlan(HKey driverKey, const char16_t* instanceId, const Guid& guid, VlanList* list) {
    char16_t name[kVlanNameBytes / 2 + 1] = {};
    uint32_t type = 0;
    uint32_t size = kVlanNameBytes;
    if (reg::QueryValueEx(driverKey, u"VlanName", &type, reinterpret_cast<uint8_t*>(name), &size) !=
        kErrorSuccess) {
        QvTrace(u"   GetVlanIdForDevices: no VlanName on %s", instanceId);
        return false;
    }
    // A VLAN adapter without a VlanID DWORD is listed with id 0: a value of another type or size
    // is no id, however its bytes would read as a number.
    uint32_t vlanId = 0;
    if (!ReadDwordValue(driverKey, u"VlanID", &vlanId)) {
        vlanId = 0;
    }
    const int index = list->count;
    list->ids[index] = static_cast<uint16_t>(vlanId & 0xFFFF);
    U16CopyInto(list->names[index], kVlanNameCapacity, name);
    list->guids[index] = guid;
    ReadConnectionName(instanceId, list->connectionNames[index], kAdapterNameCapacity);
    ++list->count;
    return true;
}

}  // namespace

// Every entry up to the value's end is read: an empty entry or one that names no GUID (an empty
// text would otherwise match every adapter) is skipped, so that it cannot hide the entries after it.
void AppendBoundVlans(const char16_t* vlanBinding, size_t units, std::vector<Guid>* bound) {
    size_t start = 0;
    while (vlanBinding != nullptr && start < units) {
        size_t end = start;
        while (end < units && vlanBinding[end] != u'\0') {
            ++end;
        }
        const std::u16string entry(vlanBinding + start, end - start);
        start = end + 1;
        if (entry.empty()) {
            continue;
        }
        const OwnedU16 text = RemoveDevicePrefix(entry.c_str());
        Guid guid{};
        if (!text || !GuidFromString(text.get(), &guid)) {
            QvTrace(u"   AppendBoundVlans: ignoring binding %s", entry.c_str());
            continue;
        }
        bound->push_back(guid);
    }
}

bool FindBoundVlans(const std::vector<Guid>& bound, VlanList* list) {
    list->count = 0;
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    if (!set.valid()) {
        QvTrace(u"   FindBoundVlans: no device list");
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
        Guid guid{};
        if (!driverKey.valid() ||
            !ReadStringFromRegistry(driverKey.get(), u"NetCfgInstanceId", &instanceId) ||
            !GuidFromString(instanceId.get(), &guid)) {
            continue;
        }
        if (std::find(bound.begin(), bound.end(), guid) != bound.end()) {
            AddVlan(driverKey.get(), instanceId.get(), guid, list);
        }
    }
    return true;
}

bool GetVlanIdForDevices(const char16_t* vlanBinding, size_t units, VlanList* list) {
    QvTrace(u"-->GetVlanIdForDevices:");
    std::vector<Guid> bound;
    AppendBoundVlans(vlanBinding, units, &bound);
    const bool found = FindBoundVlans(bound, list);
    QvTrace(u"<--GetVlanIdForDevices: %d", static_cast<int>(list->count));
    return found;
}

}  // namespace qv
