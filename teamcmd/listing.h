// The listing of QvTeamCmd -l: the free physical adapters with their VLANs, then every team adapter
// with its mode, its VLANs and its members; with -f the names of the free and the team adapters
// are appended to the log.
#pragma once

#include <cstdint>

#include "command_record.h"
#include "qv/teamlib/team_store.h"

namespace qv::teamcmd {

// Prints the listing; returns 1, or QV_LOG_FILE_UNAVAILABLE when the log cannot be opened.
uint32_t CmdListTeams(const CommandRecord& record);

// Fills team's member names with the members' friendly names (else descriptions). 1, or 0 when
// the adapter list cannot be opened.
int AdaptersInTeam(TeamInfo* team);

}  // namespace qv::teamcmd
