// QvTeamCmd -a: a VLAN over an adapter or a team.
#include <cstring>
#include <memory>
#include <string>

#include "console.h"
#include "flow_bounds.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"
#include "remove_vlan_flows.h"

namespace qv::teamcmd {
namespace {

struct VlanParent {
    Guid guid;
    char16_t displayName[kVlanNameCapacity];
    bool isTeam;
};

// Teams are named by connection or display name, free adapters by connection name only.
bool FindParent(std::u16string_view target, VlanParent* parent) {
    auto adapters = std::make_unique<AdapterTable>();
    for (const bool teams : {true, false}) {
        std::memset(adapters.get(), 0, sizeof(AdapterTable));
        if (QueryAdapters(QV_POPULATE, kGuidDevClassNet,
                          teams ? QV_KIND_TEAM_ADAPTERS : QV_KIND_FREE_ADAPTERS, adapters.get()) != 1) {
            continue;
        }
        for (int i = 0; i < TableCount(*adapters); ++i) {
            const bool named =
                U16EqualNoCase(target, SlotText(adapters->connectionNames[i], kAdapterNameCapacity)) ||
                (teams && U16EqualNoCase(target, SlotText(adapters->displayNames[i], kAdapterNameCapacity)));
            if (named) {
                parent->guid = adapters->guids[i];
                U16CopyInto(parent->displayName, kVlanNameCapacity,
                            SlotText(adapters->displayNames[i], kAdapterNameCapacity));
                parent->isTeam = teams;
                return true;
            }
        }
    }
    return false;
}

bool IsVlanInUse(const VlanList& vlans, std::u16string_view name, uint32_t id) {
    for (int k = 0; k < VlanCount(vlans); ++k) {
        if (U16EqualNoCase(name, SlotText(vlans.names[k], kVlanNameCapacity)) || id == vlans.ids[k]) {
            return true;
        }
    }
    return false;
}

}  // namespace

uint32_t CmdAddVlan(const CommandRecord& record) {
    QvTrace(u"-->CmdAddVlan:\n");
    VlanParent parent{};
    if (!FindParent(CommandName(record, 0), &parent)) {
        PrintWide(u"Parameter Incorrect - Nic (or Team) Name\n");
        QvTrace(u"<--CmdAddVlan: no such adapter or team\n");
        return QV_VLAN_ADDED;
    }
    auto vlans = std::make_unique<VlanList>();
    const bool read = parent.isTeam ? GetVlanListForTeam(parent.guid, vlans.get())
                                    : GetVlanListForNic(parent.guid, vlans.get());
    if (!read) {
        vlans->count = 0;
    }
    char16_t vlanName[kVlanNameCapacity] = {};
    U16CopyInto(vlanName, kVlanNameCapacity, SlotText(record.vlanName, kVlanNameCapacity));
    if (IsVlanInUse(*vlans, vlanName, record.vlanId)) {
        PrintWide(u"Parameter Incorrect - Vlan name or Vlan Id already used\n");
        QvTrace(u"<--CmdAddVlan: VLAN in use\n");
        return QV_VLAN_ADDED;
    }
    // The first VLAN takes the parent over: it is recorded, hidden and its own protocols unbound.
    const bool first = vlans->count == 0;
    std::u16string holder;
    if (first && !TakeOverVlanParent(parent.guid, parent.isTeam, &holder)) {
        if (!holder.empty()) {
            PrintWide(u"Network configuration is locked by %s, Vlan Creation Failed \n", holder.c_str());
        } else {
            PrintNarrow("Disabling Protocol Bindings failed, Vlan Creation Failed \n");
        }
        QvTrace(u"<--CmdAddVlan: the parent cannot be taken over\n");
        return QV_VLAN_NOT_ADDED;
    }
    Guid vlan{};
    if (CreateVlanForNic(parent.guid, parent.displayName, vlanName, record.vlanId, &vlan, parent.isTeam)) {
        QvTrace(u"<--CmdAddVlan: created\n");
        return QV_VLAN_ADDED;
    }
    PrintNarrow("Vlan Creation Failed \n");
    if (first && !GiveBackVlanParent(parent.guid, parent.isTeam, &holder)) {
        PrintWide(u"%s stays hidden: run QvTeamCmd -d all to restore it\n", parent.displayName);
    }
    QvTrace(u"<--CmdAddVlan: creation failed\n");
    return QV_VLAN_NOT_ADDED;
}

}  // namespace qv::teamcmd
