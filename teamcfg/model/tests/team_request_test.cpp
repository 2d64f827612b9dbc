// Team creation and removal from the page on simulated machines: the refusals, the members' VLANs,
// the team slot, the undo of a failed installation, whole creations and removals, and the worker
// that cannot start.
#include "qv/teamcfg/team_request.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "page_fixture.h"
#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/testing/team_setup.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan_list.h"
#include "qv/testing/bytes.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::DefaultPortGuid;
using qv::testing::DwordBytes;
using qv::testing::ExportRegistry;
using qv::testing::ReadValueBytes;
using qv::testing::StoreEntryPath;

constexpr char16_t kConfiguring[] = u"Configuring Team. Please wait..";

int VlansOf(int port) {
    VlanList list{};
    GetVlanListForNic(qv::testing::ToGuid(DefaultPortGuid(port)), &list);
    return list.count;
}

void RemoveKey(const std::u16string& path) {
    reg::DeleteKey(kHkeyLocalMachine, path.c_str());
}

class RequestTest : public PageTest {
  public:
    // The user checks ports, clicks a mode box (0: none), names the team (empty: the default name)
    // and clicks Create Team.
    void Create(const std::vector<int>& ports, int modeBox, const std::u16string& name = {}) {
        CheckPorts(ports);
        if (modeBox != 0) Click(modeBox);
        if (!name.empty()) view_->Type(kIdTeamName, name);
        Click(kIdCreateTeam);
    }
    std::vector<uint8_t> StoreValue(int port, const char16_t* name) {
        return ReadValueBytes(StoreEntryPath(DefaultPortGuid(port)), name).value_or(std::vector<uint8_t>{});
    }
};

TEST_F(RequestTest, RefusalsLeaveTheMachineAsItWas) {
    const std::u16string services = u"System\\CurrentControlSet\\Services\\qvteamp";
    const auto inf = [this](const char* name) { return machine_->dir() / "Windows" / "Inf" / name; };
    const struct {
        const char* what;
        std::function<void()> prepare;             // before the page opens
        std::function<void(RequestTest&)> select;  // null: ports 0 and 1 in Tx Load Balancing
        std::u16string status;
        int waitDialogs;
    } cases[] = {
        {"no mode", nullptr,
         [](RequestTest& t) {
             t.Create({0, 1}, 0);
         },
         u"Choose a Team Mode and Click on\r\nCreate Team.", 0},
        {"protocol driver not installable",
         [&] {
             for (const char16_t* key : {u"\\Parameters\\Adapters", u"\\Parameters", u""})
                 RemoveKey(services + key);
             std::filesystem::remove(inf("oem2.inf"));
         },
         nullptr, u"Installation of Quorvex Teaming Driver\r\nfailed.", 0},
        {"no administrator", [] { ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0)); }, nullptr,
         u"User should have Admin privilege to be   \r\nable to create a team. Please  login as Admin  "
         u"\r\nand "
         u"try again\r\n",
         1},
        {"no miniport INF", [&] { std::filesystem::remove(inf("oem1.inf")); }, nullptr,
         u"Could not find driver files. Install     \r\nQuorvex Teaming driver and try to configure "
         u"the\r\nTeam "
         u"again.\r\n",
         1},
        {"nine adapters",
         [] {
             for (int n = 1; n <= 4; ++n) {
                 qv::testing::SimAdapter extra;
                 extra.instanceId =
                     U16Format(u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01\\4&EE&0&00%d0", n);
                 extra.guid = U16Format(u"{5A5A0E00-0000-4000-8000-0000000000%02X}", n);
                 extra.friendlyName = U16Format(u"Extra %d", n);
                 ASSERT_TRUE(qv::testing::AddSimAdapter(extra));
             }
         },
         [](RequestTest& t) {
             ASSERT_EQ(t.Rows(kIdUnassignedList).size(), 9u);
             for (int row = 0; row < 9; ++row) t.Toggle(kIdUnassignedList, row);
             t.Click(kIdTxLoadBalancing);
             t.Click(kIdCreateTeam);
         },
         u"Selected nic itemsis more than 8.\r\n", 1},
        {"one adapter", nullptr,
         [](RequestTest& t) {
             // Create Team is disabled with one adapter checked; a check mark that goes without a
             // click (the page does not hear of it) leaves it enabled.
             t.CheckPorts({0, 1});
             t.Click(kIdLacp);
             t.view().SetItemChecked(kIdUnassignedList, t.Row(DefaultPortGuid(1)), false);
             t.Click(kIdCreateTeam);
         },
         kConfiguring, 1},
        {"a fifth team",
         [] {
             for (int n = 0; n < 4; ++n) AddStoredTeam(n, 0x110 + n, U16Format(u"T%d", n));
         },
         nullptr, u"Could not create Team\r\nYou have reached MAX TEAM limit (=4)", 1},
        {"another vendor's adapter", nullptr,
         [](RequestTest& t) {
             t.CheckPorts({0});
             t.Toggle(kIdUnassignedList, t.Row(qv::testing::kOtherVendorGuid));
             t.Click(kIdTxLoadBalancing);
             t.Click(kIdCreateTeam);
         },
         u"The Nics selected is not from Quorvex\r\nPlease select Quorvex Nics to team", 1},
        {"name in use", [] { AddStoredTeam(0, 0x110, u"Sales"); },
         [](RequestTest& t) {
             t.Create({0, 1}, kIdLacp, u"sALES");
         },
         u"This team name is already in use. Try another name.\r\n", 1},
        {"name not valid", nullptr,
         [](RequestTest& t) {
             t.Create({0, 1}, kIdLacp, u" Sales");
         },
         u"Team name not valid. Try another name              \r\n", 1},
        {"empty name", nullptr,
         [](RequestTest& t) {
             t.Type(kIdTeamName, u"");
             t.Create({0, 1}, kIdLacp);
         },
         u"Team name not valid. Try another name              \r\n", 1},
        {"disabled member",
         [] {
             ASSERT_TRUE(sim::WriteDeviceState(*sim::FindDeviceByNetCfgInstanceId(DefaultPortGuid(1)),
                                               sim::kStateDisabled, 1));
         },
         nullptr,
         u"Could not open device for Validating NIC \r\nProperties. Enable all NICs and try "
         u"configuring\r\nthe "
         u"Team again.\r\n",
         1},
        {"Windows XP with offload",
         [] {
             ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", 5) && sim::WriteHostValue(u"OsMinor", 1));
             ASSERT_TRUE(qv::testing::WriteValueBytes(qv::testing::DriverKeyPathOf(DefaultPortGuid(3)),
                                                      u"TCPOffload", kRegSz, qv::testing::StringBytes(u"1")));
         },
         nullptr,
         u"On Windows XP Connection Offload is not supported.\r\nDisableTCP Connection Offload and try "
         u"configuring\r\nthe Team again.\r\n",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh(c.prepare);
        const int teams = g_numTeams;
        const std::string before = ExportRegistry();
        if (c.select) {
            c.select(*this);
        } else {
            Create({0, 1}, kIdTxLoadBalancing);
        }
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(WaitDialogs(), c.waitDialogs);
        EXPECT_EQ(g_numTeams, teams);
        EXPECT_EQ(ExportRegistry(), before);
        EXPECT_EQ(state_->page.createRequested + state_->page.removeRequested, 0);
    }
}

TEST_F(RequestTest, MembersVlansGoOnlyWithTheUsersConsent) {
    const auto withVlans = [] {
        qv::testing::MakeVlan(qv::testing::ToGuid(DefaultPortGuid(0)), u"Local Area Connection", u"Voice", 5,
                              false);
        qv::testing::MakeVlan(qv::testing::ToGuid(DefaultPortGuid(1)), u"Local Area Connection 2", u"Data", 6,
                              false);
        qv::testing::MakeVlan(qv::testing::ToGuid(DefaultPortGuid(1)), u"Local Area Connection 2", u"Mgmt", 7,
                              false);
    };
    Fresh(withVlans);
    ASSERT_EQ(VlansOf(0) + VlansOf(1), 3);
    const std::string before = ExportRegistry();
    shell_->answers.push_back(kIdCancel);
    Create({0, 1}, kIdLacp);
    EXPECT_EQ(Status(),
              u"There are vlans associated with the underlying Nic. \r\nRemove the vlans to continue team "
              u"creation\r\n");
    ASSERT_EQ(shell_->messages.size(), 1u);
    EXPECT_EQ(shell_->messages[0].text,
              u"The vlans associated with underlying Nics will be removed. Press OK to continue");
    EXPECT_EQ(shell_->messages[0].title, u"Warning");
    EXPECT_EQ(shell_->messages[0].style, kMbIconWarning | kMbOkCancel);
    EXPECT_EQ(ExportRegistry(), before);

    // With OK every VLAN of every member is gone before any member is unbound: here the unbinding
    // fails (another program holds the configuration lock), and no VLAN is left all the same.
    Fresh(withVlans);
    ASSERT_TRUE(sim::HoldWriteLock(u"Network Connections", nullptr));
    Create({0, 1}, kIdLacp);
    EXPECT_EQ(shell_->messages.size(), 1u);
    EXPECT_EQ(Status(), kConfiguring);
    EXPECT_EQ(VlansOf(0) + VlansOf(1), 0);
    EXPECT_EQ(g_numTeams, 0);
    ASSERT_TRUE(sim::FreeWriteLock());

    Fresh(withVlans);
    Create({0, 1}, kIdLacp);
    EXPECT_EQ(Status(), u"Team Created.");
    EXPECT_EQ(VlansOf(0) + VlansOf(1), 0);
}

TEST_F(RequestTest, NewTeamTakesTheLowestFreeSlot) {
    const struct {
        std::vector<uint32_t> numbers;
        uint32_t expected;  // LACP, 2 members
    } cases[] = {{{}, 0x420}, {{0x120, 0x122}, 0x421}, {{0x220, 0x121, 0x122}, 0x423}, {{0x121}, 0x420}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        Fresh([&] {
            for (size_t n = 0; n < c.numbers.size(); ++n)
                AddStoredTeam(static_cast<int>(n), c.numbers[n], U16Format(u"T%d", static_cast<int>(n)));
        });
        Create({0, 1}, kIdLacp, u"New");
        EXPECT_EQ(Status(), u"Team Created.");
        EXPECT_EQ(StoreValue(0, u"TeamNumber"), DwordBytes(c.expected));
        EXPECT_EQ(StoreValue(1, u"TeamNumber"), DwordBytes(c.expected));
        EXPECT_EQ(g_numTeams, static_cast<int>(c.numbers.size()) + 1);
    }
}

// A failed installation gives back the team numbers and the bindings the creation wrote and took.
TEST_F(RequestTest, FailedInstallationIsUndone) {
    Fresh([] { ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevLibrary, 0)); });
    const std::string before = ExportRegistry();
    Create({0, 1}, kIdActiveBackup);
    EXPECT_EQ(Status().rfind(u"Team Creation failed with error 0x", 0), 0u) << ToUtf8(Status());
    EXPECT_EQ(ExportRegistry(), before);
    EXPECT_EQ(g_numTeams, 0);
}

TEST_F(RequestTest, CreatedTeamIsListedAndStored) {
    CheckPorts({0, 2});
    Click(kIdFailback);
    view_->Type(kIdTeamName, u"Sales");
    Click(kIdMoveUp);  // not available with two checked: the order stays
    Click(kIdCreateTeam);
    EXPECT_EQ(Status(), u"Team Created.");
    EXPECT_EQ(WaitDialogs(), 1);
    EXPECT_TRUE(shell_->views.back()->ended());
    EXPECT_EQ(state_->page.waitDialog, nullptr);
    EXPECT_EQ(state_->page.createRequested, 0);
    EXPECT_EQ(g_numTeams, 1);
    EXPECT_EQ(Rows(kIdTeamedList), std::vector<std::u16string>{u"Sales"});
    EXPECT_EQ(Rows(kIdUnassignedList).size(), 3u);
    EXPECT_EQ(Row(DefaultPortGuid(0)), -1);
    EXPECT_EQ(view_->Control(kIdTeamName).text, u"Team0");
    for (int port : {0, 2}) {
        EXPECT_EQ(StoreValue(port, u"TeamNumber"), DwordBytes(0x920));
        EXPECT_EQ(StoreValue(port, u"Order"), DwordBytes(port / 2));
        const std::u16string binding =
            u"\\Device\\" + GuidToString(state_->lists.teamAdapters.entries[0].guid);
        EXPECT_EQ(StoreValue(port, u"TeamBinding"), qv::testing::StringBytes(binding));
    }
    EXPECT_TRUE(state_->page.teams.teams[0].inUse);
    EXPECT_EQ(state_->page.teams.teams[0].numNics, 2);
}

TEST_F(RequestTest, RemovingTwoTeamsGivesTheirMembersBack) {
    std::vector<Guid> teams;
    Fresh([&] {
        teams.push_back(qv::testing::MakeTeam(u"Team0", {0, 1}, 0).guid);
        teams.push_back(qv::testing::MakeTeam(u"Team1", {2, 3}, 1).guid);
        qv::testing::MakeVlan(teams[1], u"Team1", u"Voice", 9, true);
    });
    ASSERT_EQ(g_numTeams, 2);
    ASSERT_EQ(Rows(kIdUnassignedList).size(), 1u);
    for (const Guid& team : teams) Toggle(kIdTeamedList, TeamRow(team));
    Click(kIdRemove);
    EXPECT_EQ(Status(), u"Team Removed.");
    EXPECT_EQ(g_numTeams, 0);
    EXPECT_EQ(state_->page.removeRequested, 0);
    EXPECT_TRUE(Rows(kIdTeamedList).empty());
    EXPECT_EQ(Rows(kIdUnassignedList).size(), 5u);
    for (int port = 0; port < 4; ++port) {
        const auto adapter = qv::testing::ReadAdapter(DefaultPortGuid(port));
        EXPECT_FALSE(adapter.hasStoreEntry) << port;
        EXPECT_TRUE(adapter.disabled.empty()) << port;
        EXPECT_EQ(adapter.friendlyName.find(u"Team"), std::u16string::npos) << port;
    }
    for (const Guid& team : teams) EXPECT_FALSE(qv::testing::ReadAdapter(team).present);
}

TEST_F(RequestTest, WorkerThatCannotStartClosesTheWaitDialog) {
    shell_->failStartThread = true;
    Create({0, 1}, kIdTxLoadBalancing);
    EXPECT_EQ(Status(), u"Cannot Create Team at this time.");
    ASSERT_EQ(WaitDialogs(), 1);
    EXPECT_TRUE(shell_->views.back()->ended());

    Fresh([] { qv::testing::MakeTeam(u"Team0", {0, 1}, 0); });
    shell_->failStartThread = true;
    Toggle(kIdTeamedList, 0);
    Click(kIdRemove);
    EXPECT_EQ(Status(), u"Cannot Remove Team at this time.");
    ASSERT_EQ(WaitDialogs(), 1);
    EXPECT_TRUE(shell_->views.back()->ended());
    EXPECT_EQ(g_numTeams, 1);
}

TEST_F(RequestTest, RemovalNeedsAnAdministrator) {
    Fresh([] {
        qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
        ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0));
    });
    Toggle(kIdTeamedList, 0);
    const std::string before = ExportRegistry();
    EXPECT_EQ(RemoveTeam(*state_, *shell_, *view_), 2);
    EXPECT_EQ(Status(),
              u"User should have Admin privilege to be   \r\nable to remove a team. Please  login as Admin  "
              u"\r\nand "
              u"try again\r\n");
    EXPECT_EQ(ExportRegistry(), before);
    EXPECT_EQ(g_numTeams, 1);
}

}  // namespace
}  // namespace qv::cfg::testing
