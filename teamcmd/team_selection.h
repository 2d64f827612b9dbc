// Which teams a removal (-r) selects: each selected team is its adapter's connection and display
// names together with a copy of its team record.
#pragma once

#include "command_record.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"

namespace qv::teamcmd {

// More teams than this are never removed in one run.
constexpr int kMaxRemovedTeams = 4;

struct SelectedTeam {
    char16_t connectionName[kAdapterNameCapacity];
    char16_t displayName[kAdapterNameCapacity];
    TeamInfo record;
};

struct TeamSelection {
    int count;  // teams selected; only the first kMaxRemovedTeams are kept in teams
    SelectedTeam teams[kMaxRemovedTeams];
};

// Fills selection (cleared here) from the team adapters and their team table.
// OPT_REMOVE: each team adapter whose connection or display name equals a non-empty name of the
// record (ignoring case) and whose team record exists; the record is looked up by team GUID over
// the whole table, since the table places a team by its adapter's inventory position. A team
// named twice is selected once.
// Otherwise (remove all): every team adapter. One without a record has no members on record; its
// copy then carries only its team GUID, so that its adapter is still removed.
void SelectTeams(const CommandRecord& record, const AdapterTable& teamAdapters, const TeamTable& table,
                 TeamSelection* selection);

}  // namespace qv::teamcmd
