// QvTeamCmd -r: team removal.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "console.h"
#include "flow_bounds.h"
#include "flow_log.h"
#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/damaged_team_record.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "remove_vlan_flows.h"
#include "team_selection.h"
#include "vlan_removal.h"

namespace qv::teamcmd {
namespace {

// Remove-all first deletes the VLANs of every team.
void RemoveVlansOfEveryTeam(VlanList* list) {
    auto teams = std::make_unique<AdapterTable>();
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, teams.get()) != 1) {
        return;
    }
    for (int i = 0; i < TableCount(*teams); ++i) {
        if (GetVlanListForTeam(teams->guids[i], list)) {
            RemoveListedVlans(teams->guids[i], teams->connectionNames[i], true, *list,
                              u"   Removing Vlan (%s : %s)\n");
        }
    }
}

// Gives a former member back to the system: it is shown and bound again, and its team entry goes.
// *kept is set when the member keeps its entry (absent, or a step failed), so that a later -r
// finishes it; the console says why. False when the log cannot be opened.
bool ReleaseMember(const CommandRecord& record, const Guid& member, bool* kept) {
    std::u16string holder;
    const int failed = ReleaseTeamMember(member, &holder);
    if (failed & QV_RELEASE_ABSENT) {
        PrintWide(u"   Nic %s is not present, it stays in the team\n", GuidToString(member).c_str());
    }
    if ((failed & QV_RELEASE_SHOW_FAILED) &&
        !LogFlowText(record, u"PopulateGuids for Showing NICs failed\n")) {
        return false;
    }
    if (failed & QV_RELEASE_BIND_FAILED) {
        if (!holder.empty()) {
            PrintWide(u"   Network configuration is locked by %s, protocol bindings not enabled\n",
                      holder.c_str());
        }
        if (!LogFlowText(record, u"Enabling protocol bindings failed\n")) return false;
    }
    if (failed != 0) *kept = true;
    return true;
}

bool HasValue(HKey key, const char16_t* name) {
    uint32_t type = 0;
    uint32_t size = 0;
    return reg::QueryValueEx(key, name, &type, nullptr, &size) == kErrorSuccess;
}

// An entry of a member whose team was not finished: a member's TeamNumber (mode bits set) without a
// TeamBinding that names a present team adapter, or an entry that was created and got no value.
template <typename TeamPresent>
bool IsUnfinishedEntry(HKey entry, const TeamPresent& teamPresent) {
    uint32_t number = 0;
    uint32_t type = 0;
    uint32_t size = sizeof number;
    const bool hasNumber = reg::QueryValueEx(entry, u"TeamNumber", &type, reinterpret_cast<uint8_t*>(&number),
                                             &size) == kErrorSuccess &&
                           type == kRegDword && size == sizeof number;
    // A TeamNumber of the wrong type is a damaged member's number: it counts as a team's.
    if (!hasNumber && !HasDamagedTeamNumber(entry))
        return !HasValue(entry, u"TeamNumber") && !HasValue(entry, u"TeamBinding") &&
               !HasValue(entry, u"VlanBinding");
    if (hasNumber && (number & 0xF00) == 0) return false;
    OwnedU16 binding;
    if (ReadStringFromRegistry(entry, u"TeamBinding", &binding) != 1) return true;
    const OwnedU16 bare = RemoveDevicePrefix(binding.get());
    Guid team{};
    return !bare || !GuidFromString(bare.get(), &team) || !teamPresent(team);
}

// The adapters that carry a team member's TeamNumber (mode bits set) without a TeamBinding that
// names a present team adapter: members of a team whose creation (or removal) was cut short.
std::vector<Guid> MembersOfIncompleteTeams() {
    auto teams = std::make_unique<AdapterTable>();
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, teams.get());
    const auto teamPresent = [&](const Guid& team) {
        return std::any_of(teams->guids, teams->guids + TableCount(*teams),
                           [&](const Guid& present) { return present == team; });
    };
    std::vector<Guid> members;
    ForEachAdapterEntry(kKeyRead, [&](const char16_t* name, HKey entry) {
        Guid member{};
        if (GuidFromString(name, &member) && IsUnfinishedEntry(entry, teamPresent)) members.push_back(member);
        return true;
    });
    return members;
}

// Remove-all gives back what an unfinished team holds: miniport devices that never got their driver
// go, and members of a team without a team adapter lose their team address and entry and are shown
// and bound again, as the members of a removed team are. False when the log cannot be opened.
bool ReleaseIncompleteTeams(const CommandRecord& record) {
    RemoveIncompleteVirtualAdapters();
    const std::vector<Guid> members = MembersOfIncompleteTeams();
    for (size_t first = 0; first < members.size(); first += kMaxTeamMembers) {
        TeamInfo orphans{};
        orphans.numNics = static_cast<int32_t>(std::min<size_t>(kMaxTeamMembers, members.size() - first));
        std::copy_n(members.begin() + static_cast<std::ptrdiff_t>(first), orphans.numNics,
                    orphans.memberGuids);
        RemoveNICRegistrySettings(nullptr, orphans, u"");  // no team name: names are left alone
        for (int m = 0; m < orphans.numNics; ++m) {
            QvTrace(u"   CmdRemoveTeam: releasing %s of an incomplete team",
                    GuidToString(orphans.memberGuids[m]).c_str());
            bool kept = false;
            if (!ReleaseMember(record, orphans.memberGuids[m], &kept)) return false;
        }
    }
    return true;
}

// Removes one selected team. The team adapter and the members' entries are the records that find
// the team again, so they go last: the members are given back first (names, addresses, shown,
// bound), each member's entry after it, and the team adapter once no member is left on record.
// *incomplete is set when a member stays on record (with the team adapter). False when the log
// cannot be opened.
bool RemoveSelectedTeam(const CommandRecord& record, SelectedTeam* team, VlanList* list, bool* incomplete) {
    TeamInfo& info = team->record;
    if (GetVlanListForTeam(info.teamGuid, list)) {
        RemoveListedVlans(info.teamGuid, team->connectionName, true, *list, u"   Removing Vlan %s : %s\n");
    }
    PrintWide(u"   Removing Team : %s\n", team->connectionName);
    if (!LogFlowText(record, u"Removing Team: %s\n", team->connectionName)) {
        return false;
    }
    if (RemoveNICRegistrySettings(nullptr, info, team->displayName) != 1 &&
        !LogFlowText(record, u"RemoveNICRegistrySettings failed\n")) {
        return false;
    }
    bool kept = false;
    for (int m = 0; m < MemberCount(info); ++m) {
        if (!ReleaseMember(record, info.memberGuids[m], &kept)) {
            return false;
        }
    }
    if (kept) {
        PrintWide(u"   Team %s kept until every member is given back: run QvTeamCmd -r again\n",
                  team->connectionName);
        *incomplete = true;
        return LogFlowText(record, u"Team Removal incomplete\n");
    }
    if (QueryAdapters(QV_REMOVE_TEAM, info.teamGuid, QV_KIND_TEAM_ADAPTERS, nullptr) != 1 &&
        !LogFlowText(record, u"QueryAdapter for Removing Team failed\n")) {
        return false;
    }
    info.numNics = 0;
    PrintWide(u"   Successfully Removed team\n");
    return LogFlowText(record, u"Successfully Removed team\n");
}

// Ends a failed removal: the log line, then QV_TEAM_REMOVAL_FAILED.
uint32_t Failed(const CommandRecord& record, const char16_t* logLine) {
    QvTrace(u"<--CmdRemoveTeam: %s", logLine);
    return LogFlowText(record, u"%s", logLine) ? QV_TEAM_REMOVAL_FAILED : QV_LOG_FILE_UNAVAILABLE;
}

uint32_t NoMatchingTeam(const CommandRecord& record) {
    PrintNarrow("   No matching team found, Team Removal failed\n");
    return Failed(record, u"No matching team found, Team Removal failed\n");
}

}  // namespace

uint32_t CmdRemoveTeam(const CommandRecord& record) {
    QvTrace(u"-->CmdRemoveTeam:\n");
    auto adapters = std::make_unique<AdapterTable>();
    auto list = std::make_unique<VlanList>();
    TeamSelection selection;
    if (!LogFlowHeader(record)) {
        return QV_LOG_FILE_UNAVAILABLE;
    }
    // Everything that can refuse the removal is checked before anything changes.
    if (QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, adapters.get()) != 1) {
        return Failed(record, u"QueryAdapters Failed\n");
    }
    if (!SelectTeams(record, *adapters, &selection)) {
        return Failed(record, u"PopulateTeamList Failed\n");
    }
    const bool all = !(record.flags & OPT_REMOVE);
    if (!all && selection.empty()) return NoMatchingTeam(record);
    if (!all && selection.size() > static_cast<size_t>(kMaxRemovedTeams)) {
        const int count = static_cast<int>(selection.size());
        PrintNarrow("   Selected team items (%d)  more than %d, Team Removal failed\n", count,
                    kMaxRemovedTeams);
        QvTrace(u"<--CmdRemoveTeam: %d teams selected\n", count);
        return LogFlowText(record, u"Selected team items (%d)  more than %d, Team Removal failed\n", count,
                           kMaxRemovedTeams)
                   ? QV_TEAM_REMOVAL_FAILED
                   : QV_LOG_FILE_UNAVAILABLE;
    }
    std::u16string holder;
    if (!IsNetCfgWriteLockFree(&holder)) {
        PrintWide(u"   Network configuration is locked by %s, Team Removal failed\n",
                  holder.empty() ? u"another program" : holder.c_str());
        return Failed(record, u"Network configuration is locked, Team Removal failed\n");
    }
    if (all) {
        RemoveVlansOfEveryTeam(list.get());
        if (!ReleaseIncompleteTeams(record)) return QV_LOG_FILE_UNAVAILABLE;
        DeleteAdaptersKeyIfEmpty();
    }
    if (selection.empty()) return NoMatchingTeam(record);
    bool incomplete = false;
    for (SelectedTeam& team : selection) {
        if (!RemoveSelectedTeam(record, &team, list.get(), &incomplete)) {
            return QV_LOG_FILE_UNAVAILABLE;
        }
    }
    QvTrace(u"<--CmdRemoveTeam: %s\n", incomplete ? u"incomplete" : u"done");
    return incomplete ? QV_TEAM_REMOVAL_FAILED : QV_TEAMS_REMOVED;
}

}  // namespace qv::teamcmd
