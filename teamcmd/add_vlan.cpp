// QvTeamCmd -a: a VLAN over an adapter or a team.
#include <cstring>
#include <memory>

#include "console.h"
#include "flow_bounds.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/device_state.h"
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
        return 1;
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
        return 1;
    }
    // The first VLAN takes the parent over: its own protocols are unbound and it is hidden.
    if (vlans->count == 0) {
        EnableProtocolNicBindings(parent.guid, 0, parent.isTeam ? 0 : 1);
        ShowHideNic(parent.guid, 1);
    }
    Guid vlan{};
    const bool created =
        CreateVlanForNic(parent.guid, parent.displayName, vlanName, record.vlanId, &vlan, parent.isTeam);
    QvTrace(u"<--CmdAddVlan: %s\n", created ? u"created" : u"creation failed");
    return created ? 1 : 0;
}

}  // namespace qv::teamcmd
