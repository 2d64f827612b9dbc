#include "team_selection.h"

#include <cstring>
#include <memory>
#include <span>

#include "flow_bounds.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd {
namespace {

// The team's record from the store: members, Order and TeamNumber of the entries that name it. The
// record is not in use when no entry names the team. False when the store cannot be read.
bool ReadTeamRecord(const Guid& team, TeamInfo* out) {
    auto table = std::make_unique<TeamTable>();
    table->capacity = kCmdTeamCapacity;
    ClearTeamTable(table.get());
    const int read = PopulateTeamList(table.get(), std::span<const Guid>(&team, 1));
    *out = table->teams[0];
    return read == 1;
}

bool IsNamed(const CommandRecord& record, const AdapterTable& adapters, int i) {
    const std::u16string_view connection = SlotText(adapters.connectionNames[i], kAdapterNameCapacity);
    const std::u16string_view display = SlotText(adapters.displayNames[i], kAdapterNameCapacity);
    for (int k = 0; k < kMaxCommandNames; ++k) {
        const std::u16string_view name = CommandName(record, k);
        if (!name.empty() && (U16EqualNoCase(name, connection) || U16EqualNoCase(name, display))) {
            return true;
        }
    }
    return false;
}

void Append(const AdapterTable& adapters, int i, const TeamInfo& record, TeamSelection* selection) {
    SelectedTeam& team = selection->emplace_back();
    std::memcpy(team.connectionName, adapters.connectionNames[i], sizeof team.connectionName);
    std::memcpy(team.displayName, adapters.displayNames[i], sizeof team.displayName);
    team.record = record;
}

}  // namespace

bool SelectTeams(const CommandRecord& record, const AdapterTable& teamAdapters, TeamSelection* selection) {
    selection->clear();
    const bool byName = record.flags & OPT_REMOVE;
    for (int i = 0; i < TableCount(teamAdapters); ++i) {
        if (byName && !IsNamed(record, teamAdapters, i)) continue;
        TeamInfo found{};
        if (!ReadTeamRecord(teamAdapters.guids[i], &found)) {
            selection->clear();
            return false;
        }
        if (!found.inUse) {
            found = TeamInfo{};
            found.teamGuid = teamAdapters.guids[i];
        }
        Append(teamAdapters, i, found, selection);
    }
    return true;
}

}  // namespace qv::teamcmd
