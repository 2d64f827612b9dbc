#include "create_team.h"

#include <algorithm>
#include <memory>
#include <string>

#include "console.h"
#include "create_log.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/member_restore.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::teamcmd {
namespace {

// The working state of one create, cleared at the start.
struct CreateRun {
    AdapterTable freeAdapters;
    AdapterTable teamAdaptersBefore;
    TeamSelection selection;
    MemberRestore restore;
    VlanList vlans;
    char16_t infPath[kInfPathCapacity];
    int32_t teamNumber;
    bool logLost;  // -f was given and the log could not be opened: the run ends at once

    TeamInfo& NewTeam() { return selection.teams.teams[selection.newRecord]; }
};

// Prints a failed step's text, appends its log text (with -f) and returns status.
uint32_t Fail(const CommandRecord& record, CreateRun* run, uint32_t status, const char* console,
              const char* logText) {
    PrintNarrow("%s", console);
    if ((record.flags & OPT_LOG) && !LogCreateLine(record, logText)) run->logLost = true;
    return status;
}

// A failure while the members are being changed: gives back what this run changed on them first.
uint32_t FailAndRestore(const CommandRecord& record, CreateRun* run, uint32_t status, const char* console,
                        const char* logText) {
    RestoreMembers(run->NewTeam(), run->restore);
    return Fail(record, run, status, console, logText);
}

// A member loses every VLAN adapter it carries; results are not checked.
void RemoveMemberVlans(const Guid& member, VlanList* vlans) {
    if (!GetVlanListForNic(member, vlans)) return;
    const int count = std::min<int>(vlans->count, kMaxVlans);
    for (int j = 0; j < count; ++j) {
        RemoveVlanFromNic(member, vlans->guids[j], false);
    }
}

// Steps after the checks: clear the members, write the team number, install the team adapter and
// wire it to the members. The team number is written on the members before their bindings change,
// so that a run killed at any point leaves every member it changed with an entry in the team store,
// from which removing all teams (-r) gives it back.
uint32_t BuildTeam(const CommandRecord& record, CreateRun* run) {
    TeamInfo& team = run->NewTeam();
    for (int i = 0; i < team.numNics; ++i) {
        RemoveMemberVlans(team.memberGuids[i], &run->vlans);
    }

    const int32_t teamNumber =
        AllocateTeamNumber(run->selection.teams, g_numTeams, team.TeamMode, team.numNics);
    team.TeamNumber = teamNumber;
    SaveMemberEntries(team, &run->restore);
    if (WriteIntoTeamRegistry(team, QV_SET_TEAM_NUMBER, teamNumber) != 1) {
        return FailAndRestore(record, run, QV_CREATE_TEAM_NUMBER,
                              "WriteIntoTeamRegistry QV_SET_TEAM_NUMBER \n",
                              "WriteIntoTeamRegistry QV_SET_TEAM_NUMBER\n");
    }
    for (int i = 0; i < team.numNics; ++i) {
        if (EnableProtocolNicBindings(team.memberGuids[i], 0, 1) != 1) {
            return FailAndRestore(record, run, QV_CREATE_BINDINGS,
                                  "Disabling NIC Protocol Bindings failed \n",
                                  "Disabling NIC Protocol Bindings failed\n");
        }
        run->restore.unbound = i + 1;
    }
    run->teamNumber = teamNumber;  // the summary names the number once the members carry it

    char16_t name[kInstallNameCapacity];
    U16CopyInto(name, kInstallNameCapacity, record.teamName);
    Guid teamGuid{};
    if (cmdInstall(kMiniportHardwareId, run->infPath, name, &teamGuid) != QV_INSTALL_OK) {
        return FailAndRestore(record, run, QV_CREATE_INSTALL, "cmdInstall failed \n", "cmdInstall failed\n");
    }
    team.teamGuid = teamGuid;
    team.inUse = 1;
    if (WriteIntoTeamRegistry(team, QV_SET_TEAM_BINDING | QV_SET_ORDER, 0) != 1) {
        PrintNarrow("WriteIntoTeamRegistry QV_SET_TEAM_BINDING | QV_SET_ORDER failed \n");
    }
    // Without the team adapter's address the team exists but its members are not joined to it;
    // that is reported and the team kept, so that a removal can take it down.
    if (UpdateTeam(nullptr, team, record.teamName, TeamNaming::kOnlyWhenGiven) != 1) {
        Fail(record, run, 0, " UpdateTeam failed \n", "UpdateTeam failed\n");
    }
    return 0;
}

uint32_t RunSteps(const CommandRecord& record, CreateRun* run) {
    if (ValidateTeamMode(record) != 0) {
        return Fail(record, run, QV_CREATE_BAD_MODE, "ValidateTeamMode Failed \n",
                    "ValidateTeamMode Failed\n");
    }
    if (SelectTeamMembers(record, run->freeAdapters, run->teamAdaptersBefore, &run->selection) != 0) {
        return QV_CREATE_BAD_SELECTION;
    }
    if (run->teamAdaptersBefore.count > kMaxTeamsBeforeCreate) {
        const std::string text = "Too many teams (" + std::to_string(run->teamAdaptersBefore.count) +
                                 "): a team can only be created while at most " +
                                 std::to_string(kMaxTeamsBeforeCreate) + " exist. Remove a team first";
        return Fail(record, run, QV_CREATE_TOO_MANY_TEAMS, (text + " \n").c_str(), (text + "\n").c_str());
    }
    if (GetMiniportInf(run->infPath) != 1) {
        return Fail(record, run, QV_CREATE_NO_DRIVER_FILES,
                    "Could not find driver files. Install Quorvex Teaming driver and try \n"
                    "to configure the Team again.\r\n",
                    "Could not find driver files. Install Quorvex Teaming driver and try to configure the "
                    "Team again.\n");
    }
    if (IsWinXPAndOffload(nullptr)) {
        return Fail(record, run, QV_CREATE_OFFLOAD, "WinXP Offload check Failed\n",
                    "WinXP Offload check Failed\n");
    }
    return BuildTeam(record, run);
}

}  // namespace

uint32_t CmdCreateTeam(const CommandRecord& record) {
    QvTrace(u"-->CmdCreateTeam:\n");
    const bool logging = (record.flags & OPT_LOG) != 0;
    if (logging && !LogCreateStart(record)) return QV_LOG_FILE_UNAVAILABLE;

    auto run = std::make_unique<CreateRun>();  // value-initialised: every table starts cleared
    run->selection.teams.capacity = kCmdTeamCapacity;
    ClearTeamTable(&run->selection.teams);
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, &run->freeAdapters);
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, &run->teamAdaptersBefore);

    const uint32_t status = RunSteps(record, run.get());
    if (run->logLost) return QV_LOG_FILE_UNAVAILABLE;
    PrintNarrow(status == 0 ? "Team Created Successfully \n" : "Team Creation Failed \n");
    if (logging) {
        const CreateSummary summary{run->NewTeam().numNics, run->teamNumber, status};
        if (!LogCreateSummary(record, summary, run->teamAdaptersBefore)) return QV_LOG_FILE_UNAVAILABLE;
    }
    QvTrace(u"<--CmdCreateTeam: 0x%x\n", status);
    return status;
}

}  // namespace qv::teamcmd
