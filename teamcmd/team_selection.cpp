#include "team_selection.h"

#include <cstring>

#include "flow_bounds.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd {
namespace {

const TeamInfo* FindTeamRecord(const TeamTable& table, const Guid& team) {
    const int records = std::clamp(table.capacity, 0, kCmdTeamCapacity);
    for (int r = 0; r < records; ++r) {
        if (table.teams[r].inUse && GuidEqual(table.teams[r].teamGuid, team)) {
            return &table.teams[r];
        }
    }
    return nullptr;
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
    if (selection->count < kMaxRemovedTeams) {
        SelectedTeam& team = selection->teams[selection->count];
        std::memcpy(team.connectionName, adapters.connectionNames[i], sizeof team.connectionName);
        std::memcpy(team.displayName, adapters.displayNames[i], sizeof team.displayName);
        team.record = record;
    }
    ++selection->count;
}

}  // namespace

void SelectTeams(const CommandRecord& record, const AdapterTable& teamAdapters, const TeamTable& table,
                 TeamSelection* selection) {
    std::memset(selection, 0, sizeof *selection);
    const bool byName = record.flags & OPT_REMOVE;
    for (int i = 0; i < TableCount(teamAdapters); ++i) {
        const TeamInfo* found = FindTeamRecord(table, teamAdapters.guids[i]);
        if (byName) {
            if (found != nullptr && IsNamed(record, teamAdapters, i)) {
                Append(teamAdapters, i, *found, selection);
            }
            continue;
        }
        TeamInfo memberless{};
        memberless.teamGuid = teamAdapters.guids[i];
        Append(teamAdapters, i, found != nullptr ? *found : memberless, selection);
    }
}

}  // namespace qv::teamcmd
