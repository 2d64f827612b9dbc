#include "qv/teamlib/testing/team_setup.h"

#include <gtest/gtest.h>

#include "qv/sim/clock.h"
#include "qv/sim/device_database.h"
#include "qv/sim/netcfg.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan.h"

namespace qv::testing {
namespace {

Guid InstallTeamAdapter(const std::u16string& name) {
    char16_t inf[kInfPathCapacity] = {};
    char16_t buffer[kInstallNameCapacity] = {};
    U16CopyInto(buffer, kInstallNameCapacity, name);
    Guid guid{};
    EXPECT_EQ(GetMiniportInf(inf), 1);
    EXPECT_EQ(cmdInstall(kMiniportHardwareId, inf, buffer, &guid), QV_INSTALL_OK);
    return guid;
}

std::u16string ConnectionNameOf(const Guid& guid) {
    char16_t name[kAdapterNameCapacity] = {};
    EXPECT_TRUE(ReadConnectionName(GuidToString(guid).c_str(), name, kAdapterNameCapacity - 1));
    return name;
}

}  // namespace

MadeTeam MakeTeam(const std::u16string& name, const std::vector<int>& ports, int slot) {
    sim::UseVirtualClock(true);
    TeamInfo team{};
    team.numNics = static_cast<int32_t>(ports.size());
    team.TeamMode = QV_MODE_ACTIVE_BACKUP;
    for (size_t m = 0; m < ports.size(); ++m) {
        team.memberGuids[m] = ToGuid(DefaultPortGuid(ports[m]));
        team.Order[m] = static_cast<int32_t>(m);
        EXPECT_EQ(EnableProtocolNicBindings(team.memberGuids[m], 0, 1), 1);
    }
    const int32_t number = MakeTeamNumber(team.TeamMode, team.numNics, slot);
    EXPECT_EQ(WriteIntoTeamRegistry(team, QV_SET_TEAM_NUMBER, number), 1);
    team.teamGuid = InstallTeamAdapter(name);
    EXPECT_EQ(WriteIntoTeamRegistry(team, QV_SET_TEAM_BINDING | QV_SET_ORDER, number), 1);
    // cmdInstall has named the team adapter already. kOnlyWhenGiven would write that name again as a
    // 522-byte property, which the inventory's 256-byte read cannot take, so the team would be
    // listed under its description; kAlways leaves the adapter's name and renames the members alike.
    EXPECT_EQ(UpdateTeam(nullptr, team, name.c_str(), TeamNaming::kAlways), 1);
    sim::UseVirtualClock(false);
    return {team.teamGuid, ConnectionNameOf(team.teamGuid)};
}

Guid InstallBareTeamAdapter(const std::u16string& name) {
    return InstallTeamAdapter(name);
}

std::u16string MakeVlan(const Guid& parent, const std::u16string& parentName, const std::u16string& vlanName,
                        uint32_t id, bool isTeam) {
    Guid vlan{};
    EXPECT_TRUE(CreateVlanForNic(parent, parentName.c_str(), vlanName.c_str(), id, &vlan, isTeam));
    return ConnectionNameOf(vlan);
}

AdapterState ReadAdapter(const std::u16string& guid) {
    AdapterState state;
    const auto instance = sim::FindDeviceByNetCfgInstanceId(guid);
    const auto device = instance ? sim::ReadDevice(*instance) : std::nullopt;
    if (!device) {
        return state;
    }
    state.present = true;
    state.characteristics = device->driverValues.Dword(u"Characteristics");
    state.friendlyName = device->friendlyName;
    state.hasNetworkAddress = device->driverValues.Find(u"NetworkAddress") != nullptr;
    state.hasStoreEntry = sim::ReadKeyValues(StoreEntryPath(guid)).has_value();
    for (const sim::AdapterBinding& binding : sim::ReadAdapterBindings(guid)) {
        (binding.enabled ? state.enabled : state.disabled).push_back(binding.protocolId);
    }
    return state;
}

AdapterState ReadAdapter(const Guid& guid) {
    return ReadAdapter(GuidToString(guid));
}

}  // namespace qv::testing
