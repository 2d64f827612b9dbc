// What qvteam knows of a machine: its physical adapters, its teams and its VLAN adapters, read
// through the teaming library the way the other front ends read them. Texts are UTF-8, GUIDs in
// their braced string form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::qvteam {

struct Adapter {
    std::string guid;                         // NetCfgInstanceId
    std::string connectionName;               // empty when the adapter has none
    std::string description;                  // its friendly name (unique), else the device description
    std::optional<std::string> permanentMac;  // "00-07-43-12-34-56"; none when the adapter does not answer
    bool present = false;
    std::optional<bool> enabled;  // none when the adapter is not present
    bool hidden = false;
    std::vector<std::string> protocols;   // component ids of the protocols bound to it
    std::optional<std::string> teamGuid;  // the team adapter of the team it is a member of
    bool teamable = false;  // of the family the teaming driver serves: it can be a member or carry VLANs
};

struct Team {
    std::string guid;  // the team adapter's NetCfgInstanceId
    std::string name;  // the team adapter's name (friendly name, else description)
    std::string connectionName;
    std::optional<std::string> address;    // the team's MAC address, as its adapter uses it
    int32_t teamMode = 0;                  // as stored (see team_modes.h)
    std::vector<std::string> memberGuids;  // by preference: the member with Order 0 first
};

struct Vlan {
    std::string guid;
    std::string connectionName;
    std::string name;  // VlanName
    uint32_t id = 0;
    std::string parentGuid;  // a physical adapter or a team adapter
    bool parentIsTeam = false;
};

struct MachineState {
    std::vector<Adapter> adapters;  // in the order of the devices in the system
    std::vector<Team> teams;        // in the order of the team adapters in the system
    std::vector<Vlan> vlans;        // by parent (teams first), each parent's in the order it lists them

    const Adapter* FindAdapter(const std::string& guid) const;
    const Team* FindTeam(const std::string& guid) const;
};

// Reads the machine. False with *error set when the network adapters cannot be listed.
bool ReadMachineState(MachineState* state, std::string* error);

}  // namespace qv::qvteam
