// Which teams a removal (-r) selects: each selected team is its adapter's connection and display
// names together with a copy of its team record.
#pragma once

#include <vector>

#include "command_record.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"

namespace qv::teamcmd {

// More teams than this are never removed by name in one run.
constexpr int kMaxRemovedTeams = 4;

struct SelectedTeam {
    char16_t connectionName[kAdapterNameCapacity];
    char16_t displayName[kAdapterNameCapacity];
    TeamInfo record;
};

using TeamSelection = std::vector<SelectedTeam>;

// Fills selection (cleared here) from the team adapters, each with its own team record read from
// the store, so that every team adapter present can be selected, however many there are.
// OPT_REMOVE: each team adapter whose connection or display name equals a non-empty name of the
// record (ignoring case). A team named twice is selected once.
// Otherwise (remove all): every team adapter.
// A team adapter without a record has no members on record (a removal cut short after its last
// member was given back); its copy then carries only its team GUID, so that its adapter is removed.
// False when a team record could not be read (nothing is selected then).
bool SelectTeams(const CommandRecord& record, const AdapterTable& teamAdapters, TeamSelection* selection);

}  // namespace qv::teamcmd
