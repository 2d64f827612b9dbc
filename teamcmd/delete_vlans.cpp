// QvTeamCmd -d: deleting VLAN adapters by name or all of them.
//
// Each parent's records go last: the chosen VLAN adapters are removed first; a parent left without
// VLANs is shown and bound again before its VLAN records are dropped; a parent that keeps VLANs
// loses only the bindings of the removed ones. A run cut short anywhere so leaves records that
// the next `-d all` finds. `-d all` also gives back parents that were taken over and carry no VLAN
// (a VLAN add or deletion cut short) and removes VLAN adapters that no parent lists.
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "flow_bounds.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"
#include "remove_vlan_flows.h"
#include "vlan_removal.h"

namespace qv::teamcmd {
namespace {

bool ReadVlans(const Guid& parent, bool isTeam, VlanList* list) {
    return isTeam ? GetVlanListForTeam(parent, list) : GetVlanListForNic(parent, list);
}

struct Deletion {
    VlanChoice choice;
    bool complete = true;  // every chosen VLAN and every parent to give back went
};

// Gives the parent back once no VLAN is left over it. False when its protocols stay unbound.
bool GiveBack(const Guid& parent, const char16_t* parentName, bool isTeam) {
    std::u16string holder;
    if (GiveBackVlanParent(parent, isTeam, &holder)) return true;
    if (!holder.empty()) {
        PrintWide(u"   Network configuration is locked by %s, %s stays hidden\n", holder.c_str(), parentName);
    } else {
        PrintWide(u"   Enabling protocol bindings of %s failed, it stays hidden\n", parentName);
    }
    return false;
}

// Removes the chosen VLANs over one parent, then gives it back or drops the removed ones' bindings.
void DeleteVlansOfParent(const Guid& parent, const char16_t* parentName, bool isTeam, Deletion* deletion,
                         VlanList* list) {
    const bool listed = ReadVlans(parent, isTeam, list);
    std::vector<Guid> removed;
    if (listed) {
        ForEachChosenVlan(*list, parentName, u"   Removing Vlan %s : %s\n", deletion->choice, [&](int j) {
            if (RemoveVlanDevice(list->guids[j]) == kVlanDeviceKept) {
                PrintWide(u"   Removing Vlan %s failed\n",
                          std::u16string(SlotText(list->names[j], kVlanNameCapacity)).c_str());
                deletion->complete = false;
                return;
            }
            removed.push_back(list->guids[j]);
        });
    }
    const bool interrupted = deletion->choice.all && IsVlanParentTakenOver(parent, isTeam);
    if (removed.empty() && !interrupted) return;
    if (!ReadVlans(parent, isTeam, list) || list->count == 0) {
        if (!GiveBack(parent, parentName, isTeam)) deletion->complete = false;
        return;
    }
    for (const Guid& vlan : removed) {
        isTeam ? AddRemoveVlanInfoTeam(parent, vlan, true) : AddRemoveVlanInfoNic(parent, vlan, true);
    }
}

void DeleteVlansOfParents(int kind, Deletion* deletion, VlanList* list) {
    auto adapters = std::make_unique<AdapterTable>();
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, kind, adapters.get()) != 1) return;
    for (int i = 0; i < TableCount(*adapters); ++i) {
        DeleteVlansOfParent(adapters->guids[i], adapters->connectionNames[i], kind == QV_KIND_TEAM_ADAPTERS,
                            deletion, list);
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
    Deletion deletion;
    deletion.choice.all = record.flags & OPT_DEL_ALL_VLANS;
    deletion.choice.names = std::span<const std::u16string_view>(names, static_cast<size_t>(given));

    auto list = std::make_unique<VlanList>();
    DeleteVlansOfParents(QV_KIND_FREE_ADAPTERS, &deletion, list.get());
    DeleteVlansOfParents(QV_KIND_TEAM_ADAPTERS, &deletion, list.get());
    if (deletion.choice.all) {
        RemoveRemainingVlanAdapters(
            [](const char16_t* name) { PrintWide(u"   Removing unlisted Vlan adapter %s\n", name); });
        DeleteAdaptersKeyIfEmpty();
    }
    QvTrace(u"<--CmdDeleteVlans: %s\n", deletion.complete ? u"done" : u"incomplete");
    return deletion.complete ? QV_VLANS_DELETED : QV_VLAN_DELETION_INCOMPLETE;
}

}  // namespace qv::teamcmd
