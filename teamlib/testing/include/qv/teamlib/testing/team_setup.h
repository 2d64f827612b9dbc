// Teams and VLANs made in the test process with the teaming library, the way the front ends
// make them, and what a test reads back of an adapter on the simulated machine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qv/platform/guid.h"

namespace qv::testing {

// A team adapter named name over the default ports given by index: the members are unbound, get
// their TeamNumber, the team adapter is installed, TeamBinding and Order are written and the team
// is wired up with UpdateTeam (team adapter named name, members renamed "<name>:..." and hidden). Fails the
// test when a step fails. Runs on virtual time.
struct MadeTeam {
    Guid guid{};
    std::u16string connectionName;
};
MadeTeam MakeTeam(const std::u16string& name, const std::vector<int>& ports, int slot);

// A team adapter installed without any team store entry naming it.
Guid InstallBareTeamAdapter(const std::u16string& name);

// A VLAN over an adapter or a team, made with CreateVlanForNic; its connection name.
std::u16string MakeVlan(const Guid& parent, const std::u16string& parentName, const std::u16string& vlanName,
                        uint32_t id, bool isTeam);

// What an adapter looks like on the machine.
struct AdapterState {
    bool present = false;
    std::optional<uint32_t> characteristics;
    std::u16string friendlyName;
    bool hasNetworkAddress = false;
    bool hasStoreEntry = false;            // its Adapters key
    std::vector<std::u16string> enabled;   // protocols bound to it
    std::vector<std::u16string> disabled;  // protocols with a disabled binding
};
AdapterState ReadAdapter(const std::u16string& guid);
AdapterState ReadAdapter(const Guid& guid);

}  // namespace qv::testing
