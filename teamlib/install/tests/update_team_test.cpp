// Wiring a new team adapter to its members and giving the members their names back, on a
// simulated machine with virtual time.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "install_support.h"
#include "qv/sim/clock.h"
#include "qv/sim/device_database.h"
#include "qv/sim/simulated_miniport.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv {
namespace {

using testing::DefaultPortGuid;
using testing::ReadValueBytes;
using testing::StringBytes;
using testing::ToGuid;

class UpdateTeamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        sim::UseVirtualClock(true);
    }
    void TearDown() override { sim::UseVirtualClock(false); }

    // Installs the team adapter "Team0" with ports 0 and 1 as members.
    void InstallTeam(std::optional<uint32_t> addressDelay = std::nullopt) {
        if (addressDelay) {
            ASSERT_TRUE(sim::WriteHostValue(sim::kHostMiniportAddressDelay, *addressDelay));
        }
        char16_t name[kInstallNameCapacity] = u"Team0";
        ASSERT_EQ(cmdInstall(kMiniportHardwareId, testing::kMiniportInf, name, &team_.teamGuid),
                  QV_INSTALL_OK);
        team_.numNics = 2;
        team_.memberGuids[0] = ToGuid(DefaultPortGuid(0));
        team_.memberGuids[1] = ToGuid(DefaultPortGuid(1));
    }
    std::u16string TeamInstance() {
        return sim::FindDeviceByNetCfgInstanceId(GuidToString(team_.teamGuid)).value_or(u"");
    }
    std::optional<sim::DeviceRecord> Port(int index) {
        return sim::ReadDevice(sim::FindDeviceByNetCfgInstanceId(DefaultPortGuid(index)).value_or(u""));
    }
    std::optional<std::vector<uint8_t>> PortAddress(int index) {
        return ReadValueBytes(testing::DriverKeyPathOf(DefaultPortGuid(index)), u"NetworkAddress");
    }
    std::u16string TeamAddress() { return sim::MiniportAddress(team_.teamGuid); }
    uint64_t Slept() const { return sim::VirtualMillisecondsSlept() - sleptBefore_; }

    testing::TempMachine machine_;
    TeamInfo team_{};
    uint64_t sleptBefore_ = sim::VirtualMillisecondsSlept();
};

TEST_F(UpdateTeamTest, MembersGetTheTeamAddressTheTeamNameAndTheHiddenFlag) {
    InstallTeam();
    const std::u16string port0Name = Port(0)->friendlyName, port1Name = Port(1)->friendlyName;
    ASSERT_EQ(UpdateTeam(nullptr, team_, u"Team0"), 1);
    for (const int port : {0, 1}) {
        SCOPED_TRACE(port);
        // The address as the team's text, without a terminator.
        EXPECT_EQ(PortAddress(port), testing::Utf16Bytes(TeamAddress()));
        const auto record = Port(port);
        EXPECT_EQ(record->friendlyName, u"Team0:" + (port == 0 ? port0Name : port1Name));
        EXPECT_EQ(record->driverValues.Dword(u"Characteristics"), 0x8Cu);
        EXPECT_EQ(record->state.disabled, 0u);
    }
    EXPECT_EQ(ReadValueBytes(sim::DeviceNodePath(Port(0)->instanceId), u"FriendlyName")->size(), 512u);
    // Not a member: untouched.
    EXPECT_FALSE(PortAddress(2));
    EXPECT_EQ(Port(2)->driverValues.Dword(u"Characteristics"), 0x84u);
    // The team adapter is enabled again.
    EXPECT_EQ(sim::ReadDeviceState(TeamInstance(), sim::kStateDisabled), 0u);
    EXPECT_EQ(Slept(), 0u);
}

TEST_F(UpdateTeamTest, WaitsTenSecondsOnceForALateAddress) {
    const struct {
        uint32_t delay;
        int expected;
    } cases[] = {
        {0, 1}, {1, 1}, {9999, 1}, {10000, 1}, {10001, 0}, {sim::kMiniportAddressNever, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        testing::TempMachine machine;
        sleptBefore_ = sim::VirtualMillisecondsSlept();
        InstallTeam(c.delay);
        ASSERT_EQ(UpdateTeam(nullptr, team_, u"Team0"), c.expected);
        EXPECT_EQ(Slept(), c.delay == 0 ? 0u : 10000u);
        if (c.expected == 1) {
            EXPECT_EQ(PortAddress(0), testing::Utf16Bytes(TeamAddress()));
        } else {
            // The team adapter and the members stay as they were.
            EXPECT_FALSE(PortAddress(0));
            EXPECT_EQ(Port(0)->driverValues.Dword(u"Characteristics"), 0x84u);
            EXPECT_TRUE(sim::FindDeviceByNetCfgInstanceId(GuidToString(team_.teamGuid)));
        }
    }
}

TEST_F(UpdateTeamTest, TeamAddressOfTheWrongTypeCountsAsMissing) {
    const struct {
        const char* what;
        uint32_t type;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"DWORD", kRegDword, testing::DwordBytes(0x02000001)},
        {"binary", kRegBinary, {0x02, 0, 0, 0, 0, 1}},
        {"empty string", kRegSz, StringBytes(u"")},
        {"multi-string", kRegMultiSz, testing::MultiStringBytes({u"020000000001"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempMachine machine;
        InstallTeam(sim::kMiniportAddressNever);
        ASSERT_TRUE(testing::WriteValueBytes(testing::DriverKeyPathOf(GuidToString(team_.teamGuid)),
                                             u"NetworkAddress", c.type, c.bytes));
        EXPECT_EQ(UpdateTeam(nullptr, team_, u"Team0"), 0);
        EXPECT_FALSE(PortAddress(0));
    }
}

TEST_F(UpdateTeamTest, CommandLineRenamesOnlyWithAGivenName) {
    const struct {
        const char* what;
        const char16_t* name;
        TeamNaming naming;
        std::u16string teamName;  // the team adapter's name afterwards
        std::u16string prefix;    // the members' prefix afterwards
    } cases[] = {
        {"command line, no name", nullptr, TeamNaming::kOnlyWhenGiven, u"Team0", u""},
        {"command line, empty name", u"", TeamNaming::kOnlyWhenGiven, u"Team0", u""},
        {"command line, name", u"Backbone", TeamNaming::kOnlyWhenGiven, u"Backbone", u"Backbone:"},
        {"GUI", u"Team0", TeamNaming::kAlways, u"Team0", u"Team0:"},
        {"GUI, other name", u"Other", TeamNaming::kAlways, u"Team0", u"Other:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempMachine machine;
        InstallTeam();
        const std::u16string before = Port(0)->friendlyName;
        ASSERT_EQ(UpdateTeam(nullptr, team_, c.name, c.naming), 1);
        EXPECT_EQ(sim::ReadDevice(TeamInstance())->friendlyName, c.teamName);
        EXPECT_EQ(Port(0)->friendlyName, c.prefix + before);
        // Address and hidden flag in every form.
        EXPECT_EQ(PortAddress(0), testing::Utf16Bytes(TeamAddress()));
        EXPECT_EQ(Port(0)->driverValues.Dword(u"Characteristics"), 0x8Cu);
    }
}

TEST_F(UpdateTeamTest, NoTeamAdapterWithThatGuidFails) {
    InstallTeam();
    TeamInfo other = team_;
    other.teamGuid = ToGuid(testing::kTeamB);
    EXPECT_EQ(UpdateTeam(nullptr, other, u"Team0"), 0);
    // A physical adapter's GUID is not a team adapter.
    other.teamGuid = ToGuid(DefaultPortGuid(2));
    EXPECT_EQ(UpdateTeam(nullptr, other, u"Team0"), 0);
    EXPECT_FALSE(PortAddress(0));
}

TEST_F(UpdateTeamTest, LongMemberNamesAreCutToTheirFixedSize) {
    InstallTeam();
    const std::u16string teamName(250, u't');
    const std::u16string before = Port(0)->friendlyName;
    ASSERT_EQ(UpdateTeam(nullptr, team_, teamName.c_str()), 1);
    EXPECT_EQ(Port(0)->friendlyName, (teamName + u":" + before).substr(0, 255));
}

class SetNicFriendlyNameTest : public UpdateTeamTest {
  protected:
    void SetPortName(int port, const std::u16string& name) {
        ASSERT_TRUE(testing::WriteValueBytes(sim::DeviceNodePath(Port(port)->instanceId), u"FriendlyName",
                                             kRegSz, StringBytes(name)));
    }
    AdapterList TeamList(const std::u16string& name) {
        AdapterList list{};
        list.count = 1;
        list.entries[0].guid = ToGuid(testing::kTeamA);
        U16CopyInto(list.entries[0].displayName, kAdapterNameCapacity, name);
        return list;
    }
};

TEST_F(SetNicFriendlyNameTest, TakesTheTeamPrefixOffOnlyWhereItIs) {
    const struct {
        const char* what;
        std::u16string teamName;
        std::u16string before;
        std::u16string after;
    } cases[] = {
        {"prefixed", u"Team0", u"Team0:First port", u"First port"},
        {"any separator", u"Team0", u"Team0-First port", u"First port"},
        {"no prefix", u"Team0", u"First port", u"First port"},
        {"other case", u"Team0", u"TEAM0:First port", u"TEAM0:First port"},
        {"only the team name", u"Team0", u"Team0", u"Team0"},
        {"only the prefix", u"Team0", u"Team0:", u""},
        {"empty team name", u"", u":First port", u":First port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetPortName(0, c.before);
        EXPECT_EQ(
            SetNicFriendlyName(TeamList(c.teamName), ToGuid(testing::kTeamA), ToGuid(DefaultPortGuid(0))), 1);
        EXPECT_EQ(Port(0)->friendlyName, c.after);
        const auto stored = ReadValueBytes(sim::DeviceNodePath(Port(0)->instanceId), u"FriendlyName");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->size(), c.after == c.before ? StringBytes(c.before).size() : 512u);
    }
}

TEST_F(SetNicFriendlyNameTest, TeamNotInTheListChangesNothing) {
    SetPortName(0, u"Team0:First port");
    AdapterList list = TeamList(u"Team0");
    EXPECT_EQ(SetNicFriendlyName(list, ToGuid(testing::kTeamB), ToGuid(DefaultPortGuid(0))), 0);
    list.count = 0;
    EXPECT_EQ(SetNicFriendlyName(list, ToGuid(testing::kTeamA), ToGuid(DefaultPortGuid(0))), 0);
    list.count = -3;
    EXPECT_EQ(SetNicFriendlyName(list, ToGuid(testing::kTeamA), ToGuid(DefaultPortGuid(0))), 0);
    EXPECT_EQ(Port(0)->friendlyName, u"Team0:First port");
    // An unterminated display name is read within its slot.
    list = TeamList(u"");
    std::fill(std::begin(list.entries[0].displayName), std::end(list.entries[0].displayName), u'T');
    EXPECT_EQ(SetNicFriendlyName(list, ToGuid(testing::kTeamA), ToGuid(DefaultPortGuid(0))), 1);
    EXPECT_EQ(Port(0)->friendlyName, u"Team0:First port");
    // A member that is not present: the team was found.
    EXPECT_EQ(SetNicFriendlyName(TeamList(u"Team0"), ToGuid(testing::kTeamA), ToGuid(testing::kTeamB)), 1);
}

}  // namespace
}  // namespace qv
