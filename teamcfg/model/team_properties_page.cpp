// The team properties page: the team's mode, its method and its members in preference order. The
// page only shows; both drop-down lists are disabled.
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"

namespace qv::cfg {

int PopulateAdaptersInTeam(DialogView& view, TeamInfo& team, int listId) {
    const int members =
        team.numNics < 0 ? 0 : (team.numNics > kMaxTeamMembers ? kMaxTeamMembers : team.numNics);
    for (int i = 0; i < members; ++i) view.InsertString(listId, i, u"dummy");
    return ForEachPhysicalAdapter([&](const Guid& guid, const char16_t* name) {
        for (int i = 0; i < members; ++i) {
            if (!GuidEqual(team.memberGuids[i], guid)) continue;
            U16CopyInto(team.memberNames[i], kAdapterNameCapacity, name);
            // An Order outside the list (a damaged store entry) has no place to show.
            const int position = team.Order[i];
            if (position < 0 || position >= members) continue;
            view.DeleteString(listId, position);
            view.InsertString(listId, position, name);
        }
    })
               ? 1
               : 0;
}

int OnInitTeamPropertiesDialog(AppState& state, DialogView& view) {
    const int slot = state.teamSelected;
    if (slot < 0 || slot >= state.page.teams.capacity || slot >= kCmdTeamCapacity) return 0;
    TeamInfo& team = state.page.teams.teams[slot];
    int selection = -1;
    for (int i = 0; i < static_cast<int>(std::size(kTeamModes)); ++i) {
        view.AddString(kIdTeamModeList, kTeamModes[i].guiName);
        if (kTeamModes[i].teamMode == team.TeamMode) selection = i;
    }
    view.SetCurrentSelection(kIdTeamModeList, selection);
    view.EnableControl(kIdTeamModeList, false);
    if (team.TeamMode == QV_MODE_TLB) {
        view.AddString(kIdTeamMethodList, u"Connection based");
        view.AddString(kIdTeamMethodList, u"Round Robin");
        view.SetCurrentSelection(kIdTeamMethodList, 0);
    }
    view.EnableControl(kIdTeamMethodList, false);
    PopulateAdaptersInTeam(view, team, kIdTeamMembersList);
    return 1;
}

}  // namespace qv::cfg
