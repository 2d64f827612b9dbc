#include <cstring>

#include "qv/teamlib/team_store.h"

namespace qv {

int g_numTeams = 0;

const TeamModeInfo kTeamModes[4] = {
    {QV_MODE_ACTIVE_BACKUP, u"Active Backup", u"ACTIVE_BACKUP_MODE", 1},
    {QV_MODE_TLB, u"Transmit Load Balancing", u"TLB_MODE", 2},
    {QV_MODE_LACP, u"802.3ad LACP", u"LACP_MODE", 3},
    {QV_MODE_FAILBACK, u"Active Backup with Failback to Active", u"FAILBACK_MODE", 4},
};

void ClearTeamTable(TeamTable* table) {
    std::memset(table->teams, 0, sizeof(table->teams));
    g_numTeams = 0;
}

const TeamModeInfo* FindTeamMode(int32_t teamMode) {
    for (const TeamModeInfo& mode : kTeamModes) {
        if (mode.teamMode == teamMode) return &mode;
    }
    return nullptr;
}

const TeamModeInfo* FindTeamModeByNumber(int commandLineNumber) {
    for (const TeamModeInfo& mode : kTeamModes) {
        if (mode.commandLineNumber == commandLineNumber) return &mode;
    }
    return nullptr;
}

int32_t AllocateTeamSlot(const TeamTable& table, int numTeams) {
    // Records sit at the position of their team adapter, not at 0..numTeams-1, so every record in
    // use is looked at; otherwise a team placed behind an adapter without entries would be missed
    // and its slot handed out twice.
    const int records =
        table.capacity < 0 ? 0 : (table.capacity > kCmdTeamCapacity ? kCmdTeamCapacity : table.capacity);
    for (int32_t slot = 0; slot < numTeams; ++slot) {
        bool used = false;
        for (int i = 0; i < records && !used; ++i) {
            used = table.teams[i].inUse && TeamSlotOf(table.teams[i].TeamNumber) == slot;
        }
        if (!used) return slot;
    }
    return numTeams < 0 ? 0 : numTeams;
}

int32_t AllocateTeamNumber(const TeamTable& table, int numTeams, int32_t teamMode, int32_t members) {
    return MakeTeamNumber(teamMode, members, AllocateTeamSlot(table, numTeams));
}

}  // namespace qv
