// The member selection and the mode check of a create.
#include <algorithm>
#include <cstring>

#include "console.h"
#include "create_team.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv::teamcmd {
namespace {

constexpr int kMinTeamMembers = 2;

// The first record PopulateTeamList left unused. Records sit at their team adapter's position, so
// with a team adapter that has no members the record at g_numTeams can belong to another team.
int FreeRecord(const TeamTable& table) {
    for (int i = 0; i < kCmdTeamCapacity; ++i) {
        if (!table.teams[i].inUse) return i;
    }
    return kCmdTeamCapacity - 1;  // not reached: at most kMaxPopulatedTeams records are filled
}

bool IsActiveBackupMode(int modeNumber) {
    return modeNumber == 1 || modeNumber == 4;
}

}  // namespace

uint32_t ValidateTeamMode(const CommandRecord& record) {
    if (FindTeamModeByNumber(record.teamModeNumber) == nullptr) {
        QvTrace(u"<--ValidateTeamMode: mode %d\n", record.teamModeNumber);
        return QV_CREATE_BAD_MODE;
    }
    return 0;
}

uint32_t SelectTeamMembers(const CommandRecord& record, const AdapterTable& freeAdapters,
                           const AdapterTable& teamAdaptersBefore, TeamSelection* selection) {
    QvTrace(u"-->SelectTeamMembers:\n");
    PopulateTeamList(&selection->teams, teamAdaptersBefore);
    selection->newRecord = FreeRecord(selection->teams);
    TeamInfo& team = selection->teams.teams[selection->newRecord];
    std::memset(&team, 0, sizeof team);
    const TeamModeInfo* mode = FindTeamModeByNumber(record.teamModeNumber);
    team.TeamMode = mode != nullptr ? mode->teamMode : 0;

    const int freeCount = std::clamp(freeAdapters.count, 0, kAdapterTableCapacity);
    for (int k = 0; k < kMaxCommandNames && record.names[k][0] != u'\0'; ++k) {
        bool matched = false;
        for (int a = 0; a < freeCount; ++a) {
            if (!U16EqualNoCase(record.names[k], freeAdapters.connectionNames[a])) continue;
            matched = true;
            if (team.numNics == kMaxTeamMembers) {
                ++team.numNics;  // counted for the log's summary, never stored
                PrintWide(u"Selected nic items are more than %d\n", kMaxTeamMembers);
                return QV_CREATE_SELECTION_FAILED;
            }
            selection->members[team.numNics++] = a;
        }
        if (!matched) {
            PrintWide(u"System Unknown Name %s \n", record.names[k]);
            return QV_CREATE_SELECTION_FAILED;
        }
    }
    if (IsActiveBackupMode(record.teamModeNumber) && (team.numNics == 3 || team.numNics == 4)) {
        PrintNarrow("Invalid Number Of Arguments \n");
        return QV_CREATE_SELECTION_FAILED;
    }
    for (int i = 0; i < team.numNics; ++i) {
        for (int j = i + 1; j < team.numNics; ++j) {
            if (selection->members[i] == selection->members[j]) {
                QvTrace(u"<--CreateTeam: Multiple defined Names\n");
                return QV_CREATE_SELECTION_FAILED;
            }
        }
    }
    if (team.numNics < kMinTeamMembers) {
        PrintWide(u"Selected nic items are less than %d\n", kMinTeamMembers);
        return QV_CREATE_SELECTION_FAILED;
    }
    for (int i = 0; i < team.numNics; ++i) {
        team.Order[i] = i;
        team.memberGuids[i] = freeAdapters.guids[selection->members[i]];
    }
    QvTrace(u"<--SelectTeamMembers: %d members\n", team.numNics);
    return 0;
}

}  // namespace qv::teamcmd
