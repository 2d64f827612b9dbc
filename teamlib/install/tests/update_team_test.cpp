// Wiring a new team adapter to its members and giving the members their names back, on a
// simulated machine with virtual time.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "install_support.h"
#include "qv/sim/clock.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/simulated_miniport.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using testing::DefaultPortGuid;
using testing::StringBytes;
using testing::ToGuid;
using Bytes = std::vector<uint8_t>;

class UpdateTeamTest : public ::testing::Test {
  protected:
    void SetUp() override { sim::UseVirtualClock(true); }
    void TearDown() override { sim::UseVirtualClock(false); }

    // A machine of its own with the team adapter "Team0" and ports 0 and 1 as members.
    void NewTeam(uint32_t addressDelay = 0) {
        machine_.emplace();
        ASSERT_TRUE(machine_->ok() && sim::WriteHostValue(sim::kHostMiniportAddressDelay, addressDelay));
        const auto installed = testing::Install(u"Team0");
        ASSERT_EQ(installed.result, QV_INSTALL_OK);
        team_.teamGuid = installed.guid;
        team_.numNics = 2;
        team_.memberGuids[0] = ToGuid(DefaultPortGuid(0));
        team_.memberGuids[1] = ToGuid(DefaultPortGuid(1));
        names_[0] = Port(0).friendlyName;
        names_[1] = Port(1).friendlyName;
        sleptBefore_ = sim::VirtualMillisecondsSlept();
    }
    sim::DeviceRecord Device(const std::u16string& guid) {
        return sim::ReadDevice(sim::FindDeviceByNetCfgInstanceId(guid).value_or(u""))
            .value_or(sim::DeviceRecord{});
    }
    sim::DeviceRecord Port(int index) { return Device(DefaultPortGuid(index)); }
    Bytes Address(int port) {
        return testing::ReadValueBytes(testing::DriverKeyPathOf(DefaultPortGuid(port)), u"NetworkAddress")
            .value_or(Bytes{});
    }
    // Whether port 0 joined the team: its address and hidden flag.
    void ExpectJoined(bool joined) {
        EXPECT_EQ(Address(0), joined ? testing::Utf16Bytes(sim::MiniportAddress(team_.teamGuid)) : Bytes{});
        EXPECT_EQ(Port(0).driverValues.Dword(u"Characteristics"), joined ? 0x8Cu : 0x84u);
    }

    std::optional<testing::TempMachine> machine_;
    TeamInfo team_{};
    std::u16string names_[2];
    uint64_t sleptBefore_ = 0;
};

TEST_F(UpdateTeamTest, MembersGetTheTeamAddressTheTeamNameAndTheHiddenFlag) {
    NewTeam();
    ASSERT_EQ(UpdateTeam(nullptr, team_, u"Team0"), 1);
    ExpectJoined(true);
    for (const int port : {0, 1}) {
        EXPECT_EQ(Address(port), Address(0));
        EXPECT_EQ(Port(port).friendlyName, u"Team0:" + names_[port]);
        EXPECT_EQ(Port(port).state.disabled, 0u);
    }
    EXPECT_EQ(testing::ReadValueBytes(sim::DeviceNodePath(Port(0).instanceId), u"FriendlyName"),
              StringBytes(u"Team0:" + names_[0]));
    EXPECT_EQ(Address(2), Bytes{});
    EXPECT_EQ(Port(2).driverValues.Dword(u"Characteristics"), 0x84u);
    EXPECT_EQ(Device(GuidToString(team_.teamGuid)).state.disabled, 0u);
    // Names are cut to 255 characters; a team that is not there fails.
    NewTeam();
    const std::u16string longName(250, u't');
    ASSERT_EQ(UpdateTeam(nullptr, team_, longName.c_str()), 1);
    EXPECT_EQ(Port(0).friendlyName, (longName + u":" + names_[0]).substr(0, 255));
    team_.teamGuid = ToGuid(DefaultPortGuid(2));
    EXPECT_EQ(UpdateTeam(nullptr, team_, u"Team0"), 0);
}

TEST_F(UpdateTeamTest, WaitsTenSecondsOnceForALateAddress) {
    // The simulated tick is real time plus the virtual time slept, so real time also passes while
    // the team waits: an address that comes too late is scheduled two seconds past the wait, which no
    // run on a busy machine takes.
    const struct {
        uint32_t delay;
        int expected;
    } cases[] = {{0, 1}, {1, 1}, {10000, 1}, {12000, 0}, {sim::kMiniportAddressNever, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        NewTeam(c.delay);
        EXPECT_EQ(UpdateTeam(nullptr, team_, u"Team0"), c.expected);
        EXPECT_EQ(sim::VirtualMillisecondsSlept() - sleptBefore_, c.delay == 0 ? 0u : 10000u);
        ExpectJoined(c.expected == 1);
    }
}

TEST_F(UpdateTeamTest, TeamAddressOfTheWrongTypeCountsAsMissing) {
    const struct {
        uint32_t type;
        Bytes bytes;
    } cases[] = {{kRegDword, testing::DwordBytes(0x02000001)},
                 {kRegBinary, {0x02, 0, 0, 0, 0, 1}},
                 {kRegSz, StringBytes(u"")},
                 {kRegMultiSz, testing::MultiStringBytes({u"020000000001"})}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        NewTeam(sim::kMiniportAddressNever);
        ASSERT_TRUE(testing::WriteValueBytes(testing::DriverKeyPathOf(GuidToString(team_.teamGuid)),
                                             u"NetworkAddress", c.type, c.bytes));
        EXPECT_EQ(UpdateTeam(nullptr, team_, u"Team0"), 0);
        ExpectJoined(false);
    }
}

TEST_F(UpdateTeamTest, CommandLineRenamesOnlyWithAGivenName) {
    const struct {
        const char16_t* name;
        TeamNaming naming;
        std::u16string teamName, memberPrefix;
    } cases[] = {
        {nullptr, TeamNaming::kOnlyWhenGiven, u"Team0", u""},
        {u"", TeamNaming::kOnlyWhenGiven, u"Team0", u""},
        {u"Backbone", TeamNaming::kOnlyWhenGiven, u"Backbone", u"Backbone:"},
        {u"Other", TeamNaming::kAlways, u"Team0", u"Other:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name == nullptr ? "null" : ToUtf8(c.name));
        NewTeam();
        ASSERT_EQ(UpdateTeam(nullptr, team_, c.name, c.naming), 1);
        EXPECT_EQ(Device(GuidToString(team_.teamGuid)).friendlyName, c.teamName);
        EXPECT_EQ(Port(0).friendlyName, c.memberPrefix + names_[0]);
        ExpectJoined(true);
    }
}

TEST_F(UpdateTeamTest, SetNicFriendlyNameTakesTheTeamPrefixOffOnlyWhereItIs) {
    const Guid team = ToGuid(testing::kTeamA);
    const struct {
        std::u16string listed, before, after;
        Guid team;
        int expected;
    } cases[] = {
        {u"Team0", u"Team0:First port", u"First port", team, 1},
        {u"Team0", u"Team0-First port", u"First port", team, 1},
        {u"Team0", u"First port", u"First port", team, 1},
        {u"Team0", u"TEAM0:First port", u"First port", team, 1},  // names ignore case
        {u"Team0", u"Team0", u"Team0", team, 1},
        {u"Team0", u"Team0:", u"", team, 1},
        {u"", u":First port", u":First port", team, 1},
        {u"Team0", u"Team0:First port", u"Team0:First port", ToGuid(testing::kTeamB), 0},
        {std::u16string(kAdapterNameCapacity, u'T'), u"TT:x", u"TT:x", team, 1},  // unterminated slot
    };
    NewTeam();
    const std::u16string node = sim::DeviceNodePath(Port(0).instanceId);
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.before));
        ASSERT_TRUE(testing::WriteValueBytes(node, u"FriendlyName", kRegSz, StringBytes(c.before)));
        AdapterList list{};
        list.count = 1;
        list.entries[0].guid = team;
        std::copy_n(c.listed.begin(), std::min<size_t>(c.listed.size(), kAdapterNameCapacity),
                    list.entries[0].displayName);
        EXPECT_EQ(SetNicFriendlyName(list, c.team, ToGuid(DefaultPortGuid(0))), c.expected);
        EXPECT_EQ(Port(0).friendlyName, c.after);
        const auto stored = testing::ReadValueBytes(node, u"FriendlyName");
        EXPECT_EQ(stored, StringBytes(c.after));
    }
}

}  // namespace
}  // namespace qv
