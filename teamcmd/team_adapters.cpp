#include "team_adapters.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "flow_bounds.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::teamcmd {
namespace {

// The VLAN adapters over the adapters of table, read as free adapters' or as teams' VLANs.
void AddVlansOf(const AdapterTable& table, bool asTeams, VlanList* list, std::vector<Guid>* vlans) {
    for (int i = 0; i < TableCount(table); ++i) {
        const bool read =
            asTeams ? GetVlanListForTeam(table.guids[i], list) : GetVlanListForNic(table.guids[i], list);
        if (read) {
            vlans->insert(vlans->end(), list->guids, list->guids + VlanCount(*list));
        }
    }
}

}  // namespace

int QueryTeamAdapters(AdapterTable* table) {
    std::memset(table, 0, sizeof *table);
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, table) != 1) {
        return 0;
    }
    auto freeAdapters = std::make_unique<AdapterTable>();
    auto list = std::make_unique<VlanList>();
    std::vector<Guid> vlans;
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, freeAdapters.get()) == 1) {
        AddVlansOf(*freeAdapters, false, list.get(), &vlans);
    }
    AddVlansOf(*table, true, list.get(), &vlans);

    int kept = 0;
    for (int i = 0; i < TableCount(*table); ++i) {
        const Guid guid = table->guids[i];
        if (std::any_of(vlans.begin(), vlans.end(),
                        [&](const Guid& vlan) { return GuidEqual(vlan, guid); })) {
            QvTrace(u"   QueryTeamAdapters: %s is a VLAN adapter\n", table->connectionNames[i]);
            continue;
        }
        if (kept != i) {
            table->guids[kept] = guid;
            std::memcpy(table->connectionNames[kept], table->connectionNames[i],
                        sizeof table->connectionNames[i]);
            std::memcpy(table->displayNames[kept], table->displayNames[i], sizeof table->displayNames[i]);
        }
        ++kept;
    }
    table->count = kept;
    return 1;
}

}  // namespace qv::teamcmd
