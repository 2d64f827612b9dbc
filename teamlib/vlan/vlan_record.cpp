// AddRemoveVlanInfoNic and AddRemoveVlanInfoTeam: record a VLAN adapter in, or drop it from, the
// VlanBinding list of its parent's Adapters subkey (an adapter) or of every member's (a team).
#include <string>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/internal/team_binding.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"

namespace qv {
namespace {

constexpr int kRecordKeyPathCapacity = 522;

bool HasValue(HKey key, const char16_t* name) {
    uint32_t type = 0;
    uint32_t size = 0;
    return reg::QueryValueEx(key, name, &type, nullptr, &size) == kErrorSuccess;
}

LStatus WriteDword(HKey key, const char16_t* name, uint32_t value) {
    return reg::SetValueEx(key, name, kRegDword, reinterpret_cast<const uint8_t*>(&value), sizeof value);
}

// Opens (create false) or creates the adapter's Adapters subkey.
LStatus OpenAdapterKey(const Guid& adapter, bool create, ScopedKey* key) {
    char16_t path[kRecordKeyPathCapacity];
    if (!U16FormatInto(path, kRecordKeyPathCapacity, u"%s\\%s", kAdaptersKeyPath,
                       GuidToString(adapter).c_str())) {
        return kErrorInvalidParameter;
    }
    return create ? reg::CreateKeyEx(kHkeyLocalMachine, path, 0, kKeyAllAccess, key->Receive(), nullptr)
                  : reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyAllAccess, key->Receive());
}

// Whether the member entry's TeamBinding names the team.
bool NamesTeam(HKey member, const Guid& team) {
    Guid bound{};
    return ReadTeamBinding(member, u"member", &bound) && bound == team;
}

// Whether the entry belongs to a team (a TeamBinding, or a TeamNumber that is not the VLAN-only
// one, including one of the wrong type): such an entry is the team's, never deleted for its VLANs.
bool IsTeamEntry(HKey key) {
    if (HasValue(key, u"TeamBinding")) return true;
    if (!HasValue(key, u"TeamNumber")) return false;
    uint32_t number = 0;
    return !ReadDwordValue(key, u"TeamNumber", &number) || (number & 0xF00) != 0;
}

// After the last VLAN of an adapter is gone, its Adapters subkey goes too, unless it belongs to a
// team: that entry is the team's, not the VLANs'.
bool KeyOnlyCarriedVlans(HKey key) {
    uint32_t type = 0;
    uint32_t size = 0;
    const bool hasVlans = reg::QueryValueEx(key, u"VlanBinding", &type, nullptr, &size) == kErrorSuccess &&
                          size > 2 * sizeof(char16_t);
    return !hasVlans && !IsTeamEntry(key);
}

// A key made for VLANs says so with TeamNumber 0x10 and Order 0. A key that already has a
// TeamNumber keeps it: rewriting a team member's number would break its team.
LStatus MarkVlanOnly(HKey key) {
    if (HasValue(key, u"TeamNumber")) return kErrorSuccess;
    const LStatus status = WriteDword(key, u"TeamNumber", kVlanOnlyTeamNumber);
    return status == kErrorSuccess ? WriteDword(key, u"Order", 0) : status;
}

}  // namespace

LStatus AddRemoveVlanInfoNic(const Guid& adapter, const Guid& vlan, bool remove) {
    QvTrace(u"-->AddRemoveVlanInfoNic: remove %d", remove ? 1 : 0);
    const OwnedU16 binding = AddDevicePrefix(GuidToString(vlan).c_str());
    if (!binding) {
        QvTrace(u"<--AddRemoveVlanInfoNic: no memory");
        return kErrorNotEnoughMemory;
    }
    // A removal opens the key: creating it would leave an empty entry behind.
    ScopedKey key;
    LStatus status = OpenAdapterKey(adapter, !remove, &key);
    if (status != kErrorSuccess) {
        QvTrace(u"<--AddRemoveVlanInfoNic: cannot open the adapter's entry: %d", status);
        return status;
    }
    if (!remove) {
        status = MarkVlanOnly(key.get());
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
        if (!NamesTeam(member, team)) return true;
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

LStatus RecordVlanParent(const Guid& adapter) {
    ScopedKey key;
    LStatus status = OpenAdapterKey(adapter, true, &key);
    if (status == kErrorSuccess) status = MarkVlanOnly(key.get());
    QvTrace(u"   RecordVlanParent: %d", status);
    return status;
}

LStatus DeleteVlanOnlyEntry(const Guid& adapter) {
    ScopedKey key;
    const LStatus opened = OpenAdapterKey(adapter, false, &key);
    if (opened == kErrorFileNotFound) return kErrorSuccess;
    if (opened != kErrorSuccess) return opened;
    if (IsTeamEntry(key.get())) {
        QvTrace(u"   DeleteVlanOnlyEntry: the entry belongs to a team");
        return kErrorSuccess;
    }
    key.Reset();
    return DeleteAdapterEntry(adapter);
}

bool HasVlanOnlyEntry(const Guid& adapter) {
    ScopedKey key;
    return OpenAdapterKey(adapter, false, &key) == kErrorSuccess && !IsTeamEntry(key.get());
}

LStatus ClearTeamVlanBindings(const Guid& team) {
    LStatus result = kErrorSuccess;
    const LStatus opened = ForEachAdapterEntry(kKeyAllAccess, [&](const char16_t*, HKey member) {
        if (!NamesTeam(member, team) || !HasValue(member, u"VlanBinding")) return true;
        const LStatus deleted = reg::DeleteValue(member, u"VlanBinding");
        if (deleted != kErrorSuccess) result = deleted;
        return true;
    });
    return opened == kErrorFileNotFound ? kErrorSuccess : opened != kErrorSuccess ? opened : result;
}

}  // namespace qv
