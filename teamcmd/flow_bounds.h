// Bounded reads of the tables the command flows share with the library: counts that come from the
// registry or the device set are clamped to the table's room, and names are read only up to their
// terminator within their slot.
#pragma once

#include <algorithm>
#include <string_view>

#include "command_record.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::teamcmd {

inline int TableCount(const AdapterTable& table) {
    return std::clamp(table.count, 0, kAdapterTableCapacity);
}
inline int VlanCount(const VlanList& list) {
    return std::min<int>(list.count, kMaxVlans);
}
inline int MemberCount(const TeamInfo& team) {
    return std::clamp(team.numNics, 0, kMaxTeamMembers);
}

inline std::u16string_view CommandName(const CommandRecord& record, int slot) {
    return SlotText(record.names[slot], kCommandNameCapacity);
}

}  // namespace qv::teamcmd
