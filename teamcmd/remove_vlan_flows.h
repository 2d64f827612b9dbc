// The team removal (-r) and VLAN commands (-a, -d) of QvTeamCmd. Each runs a fixed sequence of
// teaming-library calls and never undoes an earlier step when a later one fails.
#pragma once

#include <cstdint>

#include "command_record.h"

namespace qv::teamcmd {

// Results of CmdRemoveTeam.
constexpr uint32_t QV_TEAMS_REMOVED = 1;
constexpr uint32_t QV_TEAM_REMOVAL_FAILED = 2;

// Results of CmdAddVlan and CmdDeleteVlans.
constexpr uint32_t QV_VLAN_ADDED = 1;  // also: the parameters were refused, with a message
constexpr uint32_t QV_VLAN_NOT_ADDED = 0xCE000302;
constexpr uint32_t QV_VLANS_DELETED = 0;  // also when nothing matched
constexpr uint32_t QV_VLAN_DELETION_INCOMPLETE = 0xCE000303;

// Removes the teams named in the record (OPT_REMOVE) or every team (OPT_REMOVE_ALL), with their
// VLANs: the team adapter goes, the members are shown, bound again and lose their team entries,
// team address and team name prefix. QV_TEAMS_REMOVED once the selected teams were processed,
// QV_TEAM_REMOVAL_FAILED when no team or more than four were selected or the inventory failed,
// QV_LOG_FILE_UNAVAILABLE when the log cannot be opened.
uint32_t CmdRemoveTeam(const CommandRecord& record);

// Adds the VLAN (vlanName, vlanId) over the adapter or team named in names slot 0. The first VLAN
// takes its parent over (recorded, hidden, unbound). QV_VLAN_ADDED when added or when the
// parameters are refused (a message says which); QV_VLAN_NOT_ADDED, with a message, when the
// parent could not be unbound or the VLAN adapter not created: a parent taken over for it is given
// back.
uint32_t CmdAddVlan(const CommandRecord& record);

// Deletes the VLAN adapters named by connection name (OPT_DEL_VLAN) or every VLAN adapter
// (OPT_DEL_ALL_VLANS) of the free adapters and the teams; a parent left without VLANs is shown and
// bound again. QV_VLANS_DELETED, or QV_VLAN_DELETION_INCOMPLETE, with a message, when a VLAN adapter
// could not be removed or a parent could not be bound again.
uint32_t CmdDeleteVlans(const CommandRecord& record);

}  // namespace qv::teamcmd
