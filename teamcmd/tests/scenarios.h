// Simulated machines for the QvTeamCmd suites: the default inventory plus teams, VLAN adapters and
// further physical adapters, written into the test's own temporary machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::teamcmd::testing {

// GUID strings of the adapters the scenarios add: n-th extra physical adapter, team adapter and
// VLAN adapter.
std::u16string ExtraPortGuid(int n);
std::u16string TeamGuid(int n);
std::u16string VlanGuid(int n);

// A physical n5 port "Quorvex n5 Gigabit Server Adapter #<5 + n>" with the given connection name.
bool AddExtraPort(int n, const std::u16string& connectionName);

// A VLAN adapter ROOT\NET\<number> with VlanID, VlanName (unless empty) and a connection name.
bool AddVlanAdapter(int number, const std::u16string& guid, uint32_t vlanId, const std::u16string& vlanName,
                    const std::u16string& connectionName);

// The VlanBinding of member's Adapters entry, entries in the given order ("\Device\<guid>").
bool WriteVlanBinding(const std::u16string& member, const std::vector<std::u16string>& vlanGuids);

// A team: its virtual adapter ROOT\NET\<number> named name, and an Adapters entry per member with
// the TeamNumber and each member's Order.
struct TeamMember {
    std::u16string guid;
    uint32_t order;
};
bool AddTeam(int number, const std::u16string& teamGuid, const std::u16string& name, uint32_t teamNumber,
             const std::vector<TeamMember>& members);

// The default machine with VLANs 10 and 20 on "Local Area Connection".
bool BuildFreeAdaptersWithVlans();

// The default machine plus five more ports, teams in the four modes (Team0 to Team3), a VLAN on
// Team1, an Order of 8 on a member of Team3, and two further team adapters (Team4, Team5).
bool BuildTeamsInAllModes();

}  // namespace qv::teamcmd::testing
