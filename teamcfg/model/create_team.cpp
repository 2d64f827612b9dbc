// Team creation on the worker thread: the checks, the members' VLANs and bindings, the team store,
// the team adapter, and the page's rebuild.
#include <memory>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/platform/wintypes.h"
#include "qv/teamcfg/adapter_rows.h"
#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/dispatched_view.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/team_request.h"
#include "qv/teamcfg/teaming_page.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/member_restore.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::cfg {
namespace {

constexpr int kTeamNameBox = 260;  // the name box is read with this buffer: 259 characters
constexpr uint32_t kFileShareRead = 0x1;
constexpr uint32_t kFileShareWrite = 0x2;

// The status texts of a creation, in the order of its steps.
constexpr char16_t kNotAdmin[] =
    u"User should have Admin privilege to be   \r\nable to create a team. Please  login as Admin  \r\nand "
    u"try again\r\n";
constexpr char16_t kNoDriverFiles[] =
    u"Could not find driver files. Install     \r\nQuorvex Teaming driver and try to configure the\r\nTeam "
    u"again.\r\n";
constexpr char16_t kTooManyNics[] = u"Selected nic itemsis more than 8.\r\n";
constexpr char16_t kMaxTeams[] = u"Could not create Team\r\nYou have reached MAX TEAM limit (=4)";
constexpr char16_t kNotQuorvex[] =
    u"The Nics selected is not from Quorvex\r\nPlease select Quorvex Nics to team";
constexpr char16_t kNameInUse[] = u"This team name is already in use. Try another name.\r\n";
constexpr char16_t kNameInvalid[] = u"Team name not valid. Try another name              \r\n";
constexpr char16_t kCannotOpen[] =
    u"Could not open device for Validating NIC \r\nProperties. Enable all NICs and try configuring\r\nthe "
    u"Team again.\r\n";
constexpr char16_t kXpOffload[] =
    u"On Windows XP Connection Offload is not supported.\r\nDisableTCP Connection Offload and try "
    u"configuring\r\nthe Team again.\r\n";
constexpr char16_t kVlanWarning[] =
    u"The vlans associated with underlying Nics will be removed. Press OK to continue";
constexpr char16_t kVlansKept[] =
    u"There are vlans associated with the underlying Nic. \r\nRemove the vlans to continue team creation\r\n";
constexpr char16_t kVlanNotRemoved[] =
    u"Could not remove vlan from the underlying Nic. \r\nTry manually removing the vlans to continue\r\n";
constexpr char16_t kNumberNotWritten[] = u"Writing into registryfailed";
// A member's protocols could not be unbound: another program holds the network-configuration
// write lock (named), or the change failed otherwise.
constexpr char16_t kLockHeld[] =
    u"Disabling NIC Protocol Bindings failed:\r\n%s holds the network configuration\r\nlock. Close it and "
    u"try configuring the Team\r\nagain.\r\n";
constexpr char16_t kUnbindingFailed[] =
    u"Disabling NIC Protocol Bindings failed.\r\nTry configuring the Team again.\r\n";
constexpr char16_t kNoMemory[] =
    u"Team Creation failed as there is not enough\r\nmemory to perform this operation.";
constexpr char16_t kBindingNotWritten[] = u"Writing into registryFailed";
// The team adapter was installed and recorded, but UpdateTeam could not give its members the
// team's address (the adapter never reported one): the members were neither renamed nor hidden.
constexpr char16_t kMembersNotJoined[] =
    u"The team adapter did not report its address:\r\nthe members were not added to the team.\r\nRemove "
    u"the team and create it again.\r\n";

// Mode boxes in the order they are read, and the mode each stands for.
constexpr std::pair<int, int32_t> kModeBoxes[] = {
    {kIdActiveBackup, QV_MODE_ACTIVE_BACKUP},
    {kIdTxLoadBalancing, QV_MODE_TLB},
    {kIdLacp, QV_MODE_LACP},
};

int32_t CheckedMode(const DialogView& view) {
    int32_t mode = 0;
    for (const auto& [id, boxMode] : kModeBoxes) {
        if (view.IsChecked(id)) {
            mode = boxMode;
            break;
        }
    }
    return view.IsChecked(kIdFailback) ? mode + QV_MODE_FAILBACK_FLAG : mode;
}

// The record a new team goes into: record g_numTeams, or the first free one when a team sits there
// (records sit at their team adapter's position, which an adapter without members can shift).
TeamInfo* NewTeamRecord(TeamTable& table) {
    const int records = std::min(table.capacity, kGuiTeamCapacity);
    if (g_numTeams >= 0 && g_numTeams < records && !table.teams[g_numTeams].inUse) {
        return &table.teams[g_numTeams];
    }
    for (int i = 0; i < records; ++i) {
        if (!table.teams[i].inUse) return &table.teams[i];
    }
    return nullptr;
}

// The status of a member's failed unbinding: it names the program that holds the
// network-configuration write lock when that is why.
std::u16string UnbindingFailedText(const std::u16string& lockHolder) {
    return lockHolder.empty() ? std::u16string(kUnbindingFailed) : U16Format(kLockHeld, lockHolder.c_str());
}

// Step 10: once the user agreed, every VLAN over every member goes, before any member is unbound.
// False (with the status set) when the user refused or a VLAN could not be removed.
bool RemoveMemberVlans(const TeamInfo& team, Shell& shell, DialogView& view) {
    auto vlans = std::make_unique<VlanList>();
    bool agreed = false;
    for (int m = 0; m < team.numNics; ++m) {
        if (!GetVlanListForNic(team.memberGuids[m], vlans.get()) || vlans->count == 0) continue;
        if (!agreed) {
            int answer = kIdCancel;
            shell.UiThread().Send(
                [&] { answer = shell.MessageBox(kVlanWarning, u"Warning", kMbIconWarning | kMbOkCancel); });
            if (answer != kIdOk) {
                view.SetText(kIdStatus, kVlansKept);
                return false;
            }
            agreed = true;
        }
        const int count = std::min<int>(vlans->count, kMaxVlans);
        for (int v = 0; v < count; ++v) {
            if (RemoveVlanFromNic(team.memberGuids[m], vlans->guids[v], false) == 0) {
                view.SetText(kIdStatus, kVlanNotRemoved);
                return false;
            }
        }
    }
    return true;
}

// The checks of steps 1 to 9 and the new team's record. Null (with the status set where there is
// one to give) when the creation cannot go on.
TeamInfo* CheckRequest(AppState& state, DialogView& view, char16_t* infPath, std::u16string* teamName) {
    const auto refuse = [&](std::u16string_view text) -> TeamInfo* {
        view.SetText(kIdStatus, text);
        return nullptr;
    };
    if (!IsUserAdmin()) return refuse(kNotAdmin);
    if (GetMiniportInf(infPath) != 1) return refuse(kNoDriverFiles);
    if (CountCheckedItems(view, kIdUnassignedList) > kMaxCheckedAdapters) return refuse(kTooManyNics);
    const int members = GetCheckedItems(view, kIdUnassignedList, kMaxCheckedAdapters, state.checkedAdapters);
    if (members < 2) return nullptr;
    if (g_numTeams >= kGuiTeamCapacity) return refuse(kMaxTeams);
    TeamInfo* team = NewTeamRecord(state.page.teams);
    if (team == nullptr) return refuse(kMaxTeams);

    *team = TeamInfo{};
    team->TeamMode = CheckedMode(view);
    const AdapterList& free = state.lists.unassignedAdapters;
    for (int i = 0; i < members; ++i) {
        const int32_t index = state.checkedAdapters[i];
        if (index < 0 || index >= EntryCount(free)) {
            QvTrace(u"   CreateTeam: row %d has no adapter entry", index);
            return nullptr;
        }
        const AdapterEntry& entry = free.entries[index];
        if (!IsQuorvexNic(entry.guid)) return refuse(kNotQuorvex);
        team->Order[i] = i;
        team->memberGuids[i] = entry.guid;
        U16CopyInto(team->memberNames[i], kAdapterNameCapacity, DisplayName(entry));
        ++team->numNics;
    }

    *teamName = view.GetText(kIdTeamName, kTeamNameBox);
    switch (CheckTeamName(teamName->c_str(), state.lists.teamAdapters)) {
        case QV_TEAM_NAME_IN_USE:
            return refuse(kNameInUse);
        case QV_TEAM_NAME_INVALID:
            return refuse(kNameInvalid);
        default:
            break;
    }
    if (ValidateNICs(*team) != 0) return refuse(kCannotOpen);
    if (IsWinXPAndOffload(nullptr)) return refuse(kXpOffload);
    return team;
}

}  // namespace

int ValidateNICs(const TeamInfo& team) {
    for (int m = 0; m < std::clamp(team.numNics, 0, kMaxTeamMembers); ++m) {
        const OwnedU16 path = AddWin32DevicePrefix(GuidToString(team.memberGuids[m]).c_str());
        if (!path) return 1;
        const HDevice device = io::CreateFileA(ToUtf8(path.get()).c_str(), 0,
                                               kFileShareRead | kFileShareWrite, kOpenExisting, 0);
        if (device == kInvalidDevice) {
            QvTrace(u"   ValidateNICs: cannot open %s", path.get());
            return 1;
        }
        io::CloseHandle(device);
    }
    return 0;
}

int CreateTeam(AppState& state, Shell& shell, DialogView& page) {
    QvTrace(u"-->CreateTeam:");
    DispatchedView view(page, shell.UiThread());
    const auto fail = [&](std::u16string_view text) {
        view.SetText(kIdStatus, text);
        QvTrace(u"<--CreateTeam: failed");
        return 0;
    };
    char16_t infPath[kInfPathCapacity] = {};
    std::u16string teamName;
    TeamInfo* found = CheckRequest(state, view, infPath, &teamName);
    if (found == nullptr) {
        QvTrace(u"<--CreateTeam: refused");
        return 0;
    }
    TeamInfo& team = *found;
    if (!RemoveMemberVlans(team, shell, view)) return 0;

    // What the creation changes on the members is recorded, so that a failure up to the team
    // adapter's installation gives it back: the members would otherwise stay unbound and out of the
    // unassigned list. The team number is written before the bindings change, as the command line
    // does, so that a creation stopped at any point (a crash, a kill) leaves every member it changed
    // with an entry in the team store, from which removing all teams (QvTeamCmd -r) gives it back.
    team.TeamNumber = AllocateTeamNumber(state.page.teams, g_numTeams, team.TeamMode, team.numNics);
    MemberRestore restore{};
    SaveMemberEntries(team, &restore);
    if (WriteIntoTeamRegistry(team, QV_SET_TEAM_NUMBER, team.TeamNumber) != 1) {
        RestoreMembers(team, restore);
        return fail(kNumberNotWritten);
    }
    for (int m = 0; m < team.numNics; ++m) {
        std::u16string lockHolder;
        if (EnableProtocolNicBindings(team.memberGuids[m], 0, 1, &lockHolder) != 1) {
            RestoreMembers(team, restore);
            return fail(UnbindingFailedText(lockHolder));
        }
        restore.unbound = m + 1;
    }

    char16_t name[kInstallNameCapacity] = {};
    U16CopyInto(name, kInstallNameCapacity, teamName);
    Guid teamGuid{};
    const int installed = cmdInstall(kMiniportHardwareId, infPath, name, &teamGuid);
    if (installed != QV_INSTALL_OK) {
        const Win32Error error = GetLastError();
        RemoveNICRegistrySettings(nullptr, team);
        RestoreMembers(team, restore);
        return fail(installed == QV_INSTALL_NO_MEMORY
                        ? std::u16string(kNoMemory)
                        : U16Format(u"Team Creation failed with error 0x%x", error));
    }
    team.teamGuid = teamGuid;
    if (WriteIntoTeamRegistry(team, QV_SET_TEAM_BINDING | QV_SET_ORDER, 0) != 1)
        return fail(kBindingNotWritten);
    team.inUse = 1;
    const bool joined = UpdateTeam(nullptr, team, teamName.c_str()) == 1;

    ++g_numTeams;
    // The rebuild puts the help text into the status box: the outcome is written after it. A team
    // whose members were not joined is listed all the same, so that it can be removed.
    shell.UiThread().Send([&] { InitTeamingPage(state, page); });
    view.SetText(kIdStatus, joined ? std::u16string_view(u"Team Created.") : kMembersNotJoined);
    QvTrace(joined ? u"<--CreateTeam:" : u"<--CreateTeam: UpdateTeam failed");
    return joined ? 1 : 0;
}

}  // namespace qv::cfg
