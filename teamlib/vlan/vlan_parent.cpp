// Taking a VLAN parent over for its first VLAN and giving it back after its last, in an order that
// leaves a record wherever a run is cut short; and the sweep of VLAN adapters that no parent lists.
#include <string>
#include <vector>

#include "qv/teamlib/bindings.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/net_device.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"

namespace qv {
namespace {

int PhysicalFlag(bool isTeam) {
    return isTeam ? 0 : 1;
}

LStatus DropVlanRecords(const Guid& parent, bool isTeam) {
    return isTeam ? ClearTeamVlanBindings(parent) : DeleteVlanOnlyEntry(parent);
}

}  // namespace

bool TakeOverVlanParent(const Guid& parent, bool isTeam, std::u16string* lockHolder) {
    QvTrace(u"-->TakeOverVlanParent:");
    lockHolder->clear();
    if (!isTeam && RecordVlanParent(parent) != kErrorSuccess) {
        QvTrace(u"<--TakeOverVlanParent: the adapter's entry cannot be written");
        return false;
    }
    ShowHideNic(parent, 1);
    if (EnableProtocolNicBindings(parent, 0, PhysicalFlag(isTeam), lockHolder) == 1) {
        QvTrace(u"<--TakeOverVlanParent:");
        return true;
    }
    // Nothing was unbound when the lock could not be had; otherwise some bindings may have been.
    ShowHideNic(parent, 0);
    std::u16string again;
    if (lockHolder->empty() && EnableProtocolNicBindings(parent, 1, PhysicalFlag(isTeam), &again) != 1) {
        QvTrace(u"<--TakeOverVlanParent: not unbound, and not bound again either: the record stays");
        return false;
    }
    if (!isTeam) DeleteVlanOnlyEntry(parent);
    QvTrace(u"<--TakeOverVlanParent: the protocols could not be unbound");
    return false;
}

bool GiveBackVlanParent(const Guid& parent, bool isTeam, std::u16string* lockHolder) {
    QvTrace(u"-->GiveBackVlanParent:");
    ShowHideNic(parent, 0);
    if (EnableProtocolNicBindings(parent, 1, PhysicalFlag(isTeam), lockHolder) != 1) {
        QvTrace(u"<--GiveBackVlanParent: not bound again; the record stays");
        return false;
    }
    const LStatus dropped = DropVlanRecords(parent, isTeam);
    QvTrace(u"<--GiveBackVlanParent: %d", dropped);
    return true;
}

bool IsVlanParentTakenOver(const Guid& parent, bool isTeam) {
    return IsNicHidden(parent) || (!isTeam && HasVlanOnlyEntry(parent));
}

int RemoveRemainingVlanAdapters(const std::function<void(const char16_t* connectionName)>& removed) {
    QvTrace(u"-->RemoveRemainingVlanAdapters:");
    std::vector<Guid> vlans;
    WalkFilter virtualAdapters;
    virtualAdapters.everyDevice = true;
    WalkAdapters(nullptr, virtualAdapters, [&](WalkedAdapter& adapter) {
        uint32_t size = 0;
        if (adapter.adapterClass == AdapterClass::kVirtual &&
            reg::QueryValueEx(adapter.driverKey, u"VlanID", nullptr, nullptr, &size) == kErrorSuccess) {
            vlans.push_back(adapter.guid);
        }
        return WalkStep::kContinue;
    });
    int count = 0;
    for (const Guid& vlan : vlans) {
        char16_t name[kAdapterNameCapacity] = {};
        ReadConnectionName(GuidToString(vlan).c_str(), name, kAdapterNameCapacity);
        if (RemoveVlanDevice(vlan) != kVlanDeviceRemoved) continue;
        removed(name);
        ++count;
    }
    QvTrace(u"<--RemoveRemainingVlanAdapters: %d", count);
    return count;
}

}  // namespace qv
