// Team removal on the worker thread: each checked team's VLANs, its adapter and its store entries go,
// and its members come back as unassigned adapters.
#include <memory>

#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/dispatched_view.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/team_request.h"
#include "qv/teamcfg/teaming_page.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::cfg {
namespace {

constexpr char16_t kNotAdmin[] =
    u"User should have Admin privilege to be   \r\nable to remove a team. Please  login as Admin  \r\nand "
    u"try again\r\n";
constexpr char16_t kVlanNotRemoved[] =
    u"Could not remove vlans from the Team.\r\nTry manually removing the vlans to continue\r\n";
constexpr char16_t kTeamKept[] =
    u"A member could not be given back (not present,\r\nor the network configuration is locked):\r\nthe team "
    u"stays. Remove it again later.\r\n";

bool RemoveTeamVlans(const Guid& team, VlanList* vlans) {
    if (!GetVlanListForTeam(team, vlans)) return true;
    const int count = std::min<int>(vlans->count, kMaxVlans);
    for (int v = 0; v < count; ++v) {
        if (RemoveVlanFromNic(team, vlans->guids[v], true) == 0) return false;
    }
    return true;
}

}  // namespace

int RemoveTeam(AppState& state, Shell& shell, DialogView& page) {
    QvTrace(u"-->RemoveTeam:");
    DispatchedView view(page, shell.UiThread());
    if (!IsUserAdmin()) {
        view.SetText(kIdStatus, kNotAdmin);
        QvTrace(u"<--RemoveTeam: no administrator");
        return 2;
    }
    const int most = std::clamp(g_numTeams, 0, kMaxCheckedTeams);
    const int checked = GetCheckedItems(view, kIdTeamedList, most, state.checkedTeams);
    auto vlans = std::make_unique<VlanList>();
    int removed = 0;
    for (int c = 0; c < checked; ++c) {
        const int32_t index = state.checkedTeams[c];
        // Only rows with a team record are teams; another virtual adapter in the list is left alone.
        if (index < 0 || index >= std::min(state.page.teams.capacity, kGuiTeamCapacity) ||
            !state.page.teams.teams[index].inUse) {
            QvTrace(u"   RemoveTeam: row %d holds no team", index);
            continue;
        }
        TeamInfo& team = state.page.teams.teams[index];
        if (!RemoveTeamVlans(team.teamGuid, vlans.get())) {
            g_numTeams -= removed;
            view.SetText(kIdStatus, kVlanNotRemoved);
            QvTrace(u"<--RemoveTeam: a VLAN stays");
            return 0;
        }
        // The team adapter and the members' entries find the team again, so they go last: a removal
        // cut short, or a member that cannot be given back now, leaves a team that can be removed
        // again.
        RemoveNICRegistrySettings(nullptr, team);
        bool kept = false;
        for (int m = 0; m < std::clamp(team.numNics, 0, kMaxTeamMembers); ++m) {
            SetNicFriendlyName(state.lists.teamAdapters, team.teamGuid, team.memberGuids[m]);
            if (ReleaseTeamMember(team.memberGuids[m]) != 0) kept = true;
        }
        if (kept) {
            g_numTeams -= removed;
            shell.UiThread().Send([&] { InitTeamingPage(state, page); });
            view.SetText(kIdStatus, kTeamKept);
            QvTrace(u"<--RemoveTeam: a member stays on record");
            return 0;
        }
        PopulateGuids(nullptr, nullptr, QV_REMOVE_TEAM, team.teamGuid);
        team.numNics = 0;
        team.inUse = 0;
        ++removed;
    }
    // The rows of removed teams go with the page's rebuild, which keeps rows and records together.
    g_numTeams -= removed;
    shell.UiThread().Send([&] { InitTeamingPage(state, page); });
    view.SetText(kIdStatus, u"Team Removed.");
    QvTrace(u"<--RemoveTeam: %d removed", removed);
    return 1;
}

}  // namespace qv::cfg
