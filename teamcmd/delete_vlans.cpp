// QvTeamCmd -d: deleting VLAN adapters by name or all of them.
#include <cstring>
#include <memory>
#include <string_view>

#include "flow_bounds.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/trace.h"
#include "remove_vlan_flows.h"
#include "vlan_removal.h"

namespace qv::teamcmd {
namespace {

bool ReadVlans(const Guid& parent, bool isTeam, VlanList* list) {
    return isTeam ? GetVlanListForTeam(parent, list) : GetVlanListForNic(parent, list);
}

// Removes the chosen VLANs over every parent of table. A parent that a removal left without VLANs
// is taken back: shown and bound again.
void DeleteVlansOfParents(const AdapterTable& table, bool isTeam, const VlanChoice& choice, VlanList* list) {
    for (int i = 0; i < TableCount(table); ++i) {
        const Guid& parent = table.guids[i];
        if (!ReadVlans(parent, isTeam, list) ||
            RemoveListedVlans(parent, table.connectionNames[i], isTeam, *list, u"   Removing Vlan %s : %s\n",
                              choice) == 0) {
            continue;
        }
        if (!ReadVlans(parent, isTeam, list) || list->count == 0) {
            ShowHideNic(parent, 0);
            EnableProtocolNicBindings(parent, 1, isTeam ? 0 : 1);
        }
    }
}

}  // namespace

uint32_t CmdDeleteVlans(const CommandRecord& record) {
    QvTrace(u"-->CmdDeleteVlans:\n");
    std::u16string_view names[kMaxCommandNames];
    const int given = std::min<int>(record.numDeleteNames, kMaxCommandNames);
    for (int k = 0; k < given; ++k) {
        names[k] = CommandName(record, k);
    }
    VlanChoice choice;
    choice.all = record.flags & OPT_DEL_ALL_VLANS;
    choice.names = std::span<const std::u16string_view>(names, static_cast<size_t>(given));

    auto adapters = std::make_unique<AdapterTable>();
    auto list = std::make_unique<VlanList>();
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, adapters.get()) == 1) {
        DeleteVlansOfParents(*adapters, false, choice, list.get());
    }
    std::memset(adapters.get(), 0, sizeof(AdapterTable));
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, adapters.get()) != 1 ||
        adapters->count == 0) {
        QvTrace(u"<--CmdDeleteVlans: no team adapters\n");
        return 0;
    }
    DeleteVlansOfParents(*adapters, true, choice, list.get());
    QvTrace(u"<--CmdDeleteVlans:\n");
    return 0;
}

}  // namespace qv::teamcmd
