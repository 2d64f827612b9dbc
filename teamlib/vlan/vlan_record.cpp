// AddRemoveVlanInfoNic and AddRemoveVlanInfoTeam: record a VLAN adapter in, or drop it from, the
// VlanBinding list of its parent's Adapters subkey (an adapter) or of every member's (a team).
#include <string>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"

namespace qv {
namespace {

constexpr int kAdapterKeyPathCapacity = 522;

bool HasValue(HKey key, const char16_t* name) {
    uint32_t type = 0;
    uint32_t size = 0;
    return reg::QueryValueEx(key, name, &type, nullptr, &size) == kErrorSuccess;
}

LStatus WriteDword(HKey key, const char16_t* name, uint32_t value) {
    return reg::SetValueEx(key, name, kRegDword, reinterpret_cast<const uint8_t*>(&value), sizeof value);
}

// After the last VLAN of an adapter is gone, its Adapters subkey goes too, unless it holds a team
// membership (TeamBinding): that entry belongs to the team, not to the VLANs.
bool KeyOnlyCarriedVlans(HKey key) {
    uint32_t type = 0;
    uint32_t size = 0;
    const bool hasVlans = reg::QueryValueEx(key, u"VlanBinding", &type, nullptr, &size) == kErrorSuccess &&
                          size > 2 * sizeof(char16_t);
    return !hasVlans && !HasValue(key, u"TeamBinding");
}

}  // namespace

LStatus AddRemoveVlanInfoNic(const Guid& adapter, const Guid& vlan, bool remove) {
    QvTrace(u"-->AddRemoveVlanInfoNic: remove %d", remove ? 1 : 0);
    const OwnedU16 binding = AddDevicePrefix(GuidToString(vlan).c_str());
    if (!binding) {
        QvTrace(u"<--AddRemoveVlanInfoNic: no memory");
        return kErrorNotEnoughMemory;
    }
    char16_t path[kAdapterKeyPathCapacity];
    if (!U16FormatInto(path, kAdapterKeyPathCapacity, u"%s\\%s", kAdaptersKeyPath,
                       GuidToString(adapter).c_str())) {
        return kErrorInvalidParameter;
    }
    ScopedKey key;
    LStatus status = reg::CreateKeyEx(kHkeyLocalMachine, path, 0, kKeyAllAccess, key.Receive(), nullptr);
    if (status != kErrorSuccess) {
        QvTrace(u"<--AddRemoveVlanInfoNic: cannot create %s: %d", path, status);
        return status;
    }
    if (!remove) {
        // A key made for VLANs says so with TeamNumber 0x10 and Order 0. A key that already has a
        // TeamNumber keeps it: rewriting a team member's number would break its team.
        if (!HasValue(key.get(), u"TeamNumber")) {
            status = WriteDword(key.get(), u"TeamNumber", kVlanOnlyTeamNumber);
            if (status == kErrorSuccess) status = WriteDword(key.get(), u"Order", 0);
        }
        if (status == kErrorSuccess) status = AddToVlanBinding(key.get(), binding.get());
        QvTrace(u"<--AddRemoveVlanInfoNic: %d", status);
        return status;
    }
    status = RemoveFromVlanBinding(key.get(), binding.get());
    if (status != kErrorSuccess) {
        QvTrace(u"<--AddRemoveVlanInfoNic: cannot remove the binding %d", status);
        return status;
    }
    if (KeyOnlyCarriedVlans(key.get())) {
        key.Reset();
        status = DeleteAdapterEntry(adapter);
        QvTrace(u"   AddRemoveVlanInfoNic: adapter key deleted %d", status);
    }
    QvTrace(u"<--AddRemoveVlanInfoNic:");
    return kErrorSuccess;
}

LStatus AddRemoveVlanInfoTeam(const Guid& team, const Guid& vlan, bool remove) {
    QvTrace(u"-->AddRemoveVlanInfoTeam: remove %d", remove ? 1 : 0);
    LStatus result = kErrorSuccess;
    const LStatus opened = ForEachAdapterEntry(kKeyAllAccess, [&](const char16_t* name, HKey member) {
        OwnedU16 teamBinding;
        if (!ReadStringFromRegistry(member, u"TeamBinding", &teamBinding)) return true;
        const OwnedU16 bound = RemoveDevicePrefix(teamBinding.get());
        Guid boundGuid{};
        if (!bound || !GuidFromString(bound.get(), &boundGuid) || boundGuid != team) return true;
        const OwnedU16 binding = AddDevicePrefix(GuidToString(vlan).c_str());
        const LStatus update = !binding ? kErrorNotEnoughMemory
                               : remove ? RemoveFromVlanBinding(member, binding.get())
                                        : AddToVlanBinding(member, binding.get());
        if (update != kErrorSuccess) {
            QvTrace(u"   AddRemoveVlanInfoTeam: %s not updated %d", name, update);
            result = update;
        }
        return true;
    });
    if (opened != kErrorSuccess) {
        QvTrace(u"<--AddRemoveVlanInfoTeam: no Adapters key %d", opened);
        return opened;
    }
    QvTrace(u"<--AddRemoveVlanInfoTeam: %d", result);
    return result;
}

}  // namespace qv
