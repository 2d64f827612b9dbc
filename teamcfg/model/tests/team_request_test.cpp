// Team creation and removal from the page on simulated machines: the refusals and failures that
// leave the machine as it was, the members' VLANs, the team slot, whole creations and removals, and
// a worker that cannot start.
#include "qv/teamcfg/team_request.h"

#include <filesystem>

#include "page_fixture.h"
#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/teamlib/testing/team_setup.h"
#include "qv/teamlib/vlan_list.h"
#include "qv/testing/bytes.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::DwordBytes;
using qv::testing::ExportRegistry;
using qv::testing::MakeTeam;
using qv::testing::MakeVlan;
using qv::testing::ToGuid;

constexpr char16_t kConfiguring[] = u"Configuring Team. Please wait..";
constexpr char16_t kNameInvalid[] = u"Team name not valid. Try another name              \r\n";

std::u16string LockHeldText(const std::u16string& holder) {
    return u"Disabling NIC Protocol Bindings failed:\r\n" + holder +
           u" holds the network configuration\r\nlock. Close it and try configuring the Team\r\nagain.\r\n";
}

int VlansOf(int port) {
    VlanList list{};
    GetVlanListForNic(ToGuid(DefaultPortGuid(port)), &list);
    return list.count;
}

class RequestTest : public PageTest {
  public:
    // The user checks the ports, clicks a mode box (0: none), names the team (default: as shown)
    // and clicks Create Team.
    void Create(const std::vector<int>& ports, int modeBox, const std::u16string* name = nullptr) {
        CheckPorts(ports);
        if (modeBox != 0) Click(modeBox);
        if (name != nullptr) Type(kIdTeamName, *name);
        Click(kIdCreateTeam);
    }
    void Create(const std::vector<int>& ports, int modeBox, const std::u16string& name) {
        Create(ports, modeBox, &name);
    }
    std::vector<uint8_t> StoreValue(int port, const char16_t* name) {
        return qv::testing::ReadValueBytes(qv::testing::StoreEntryPath(DefaultPortGuid(port)), name)
            .value_or(std::vector<uint8_t>{});
    }
};

TEST_F(RequestTest, RefusalsLeaveTheMachineAsItWas) {
    const auto removeInf = [this](const char* name) {
        return [this, name] { std::filesystem::remove(machine_->dir() / "Windows" / "Inf" / name); };
    };
    const auto tlb = [](std::u16string name) {
        return [=](RequestTest& t) { t.Create({0, 1}, kIdLacp, name); };
    };
    const struct {
        const char* what;
        std::function<void()> prepare;             // before the page opens
        std::function<void(RequestTest&)> select;  // null: ports 0 and 1, Tx Load Balancing
        std::u16string status;
        int waitDialogs = 1;
    } cases[] = {
        {"no mode", nullptr,
         [](RequestTest& t) {
             t.Create({0, 1}, 0);
         },
         u"Choose a Team Mode and Click on\r\nCreate Team.", 0},
        {"protocol driver not installable",
         [&] {
             for (const char16_t* key : {u"\\Parameters\\Adapters", u"\\Parameters", u""})
                 reg::DeleteKey(
                     kHkeyLocalMachine,
                     (u"System\\CurrentControlSet\\Services\\qvteamp" + std::u16string(key)).c_str());
             removeInf("oem2.inf")();
         },
         nullptr, u"Installation of Quorvex Teaming Driver\r\nfailed.", 0},
        // The rights go only after the page was filled (without them the lists would stay empty)
        // and come back before the registry is compared.
        {"no administrator", nullptr,
         [](RequestTest& t) {
             ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0));
             t.Create({0, 1}, kIdTxLoadBalancing);
             ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 1));
         },
         u"User should have Admin privilege to be   \r\nable to create a team. Please  login as Admin  "
         u"\r\nand "
         u"try again\r\n"},
        {"no miniport INF", removeInf("oem1.inf"), nullptr,
         u"Could not find driver files. Install     \r\nQuorvex Teaming driver and try to configure "
         u"the\r\nTeam "
         u"again.\r\n"},
        {"nine adapters",
         [] {
             for (int n = 1; n <= 4; ++n) {
                 ASSERT_TRUE(qv::testing::AddSimAdapter(
                     {.instanceId =
                          U16Format(u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01\\4&EE&0&00%d0", n),
                      .guid = U16Format(u"{5A5A0E00-0000-4000-8000-0000000000%02X}", n),
                      .friendlyName = U16Format(u"Extra %d", n)}));
             }
         },
         [](RequestTest& t) {
             for (int row = 0; row < 9; ++row) t.Toggle(kIdUnassignedList, row);
             t.Create({}, kIdTxLoadBalancing);
         },
         u"Selected nic itemsis more than 8.\r\n"},
        // Create Team is disabled with one adapter; a check mark gone without a click leaves it on.
        {"one adapter", nullptr,
         [](RequestTest& t) {
             t.CheckPorts({0, 1});
             t.view().SetItemChecked(kIdUnassignedList, t.Row(DefaultPortGuid(1)), false);
             t.Create({}, kIdLacp);
         },
         kConfiguring},
        {"a fifth team",
         [] {
             AddStoredTeams({0x110, 0x111, 0x112, 0x113});
         },
         nullptr, u"Could not create Team\r\nYou have reached MAX TEAM limit (=4)"},
        {"another vendor's adapter", nullptr,
         [](RequestTest& t) {
             t.Toggle(kIdUnassignedList, t.Row(qv::testing::kOtherVendorGuid));
             t.Create({0}, kIdTxLoadBalancing);
         },
         u"The Nics selected is not from Quorvex\r\nPlease select Quorvex Nics to team"},
        {"name in use", [] { AddStoredTeam(0, 0x110, u"Sales"); }, tlb(u"sALES"),
         u"This team name is already in use. Try another name.\r\n"},
        {"name starting with a space", nullptr, tlb(u" Sales"), kNameInvalid},
        {"name starting with a mark", nullptr, tlb(u"-Sales"), kNameInvalid},
        {"empty name", nullptr, tlb(u""), kNameInvalid},
        {"disabled member",
         [] {
             ASSERT_TRUE(sim::WriteDeviceState(*sim::FindDeviceByNetCfgInstanceId(DefaultPortGuid(1)),
                                               sim::kStateDisabled, 1));
         },
         nullptr,
         u"Could not open device for Validating NIC \r\nProperties. Enable all NICs and try "
         u"configuring\r\nthe "
         u"Team again.\r\n"},
        {"Windows XP with offload",
         [] {
             ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", 5) && sim::WriteHostValue(u"OsMinor", 1));
             ASSERT_TRUE(qv::testing::WriteValueBytes(qv::testing::DriverKeyPathOf(DefaultPortGuid(3)),
                                                      u"TCPOffload", kRegSz, qv::testing::StringBytes(u"1")));
         },
         nullptr,
         u"On Windows XP Connection Offload is not supported.\r\nDisableTCP Connection Offload and try "
         u"configuring\r\nthe Team again.\r\n"},
        // A failed installation gives back the team numbers written and the bindings taken, and
        // shows why it failed: newdev.dll could not be loaded (0x7e), kept across the clean-up.
        {"installation fails", [] { ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevLibrary, 0)); }, nullptr,
         u"Team Creation failed with error 0x7e"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh(c.prepare);
        const int teams = g_numTeams;
        const std::string before = ExportRegistry();
        c.select ? c.select(*this) : Create({0, 1}, kIdTxLoadBalancing);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(WaitDialogs(), c.waitDialogs);
        EXPECT_EQ(g_numTeams, teams);
        EXPECT_EQ(ExportRegistry(), before);
        EXPECT_EQ(state_->page.createRequested + state_->page.removeRequested, 0);
    }
}

TEST_F(RequestTest, MembersVlansGoOnlyWithTheUsersConsent) {
    const auto withVlans = [] {
        MakeVlan(ToGuid(DefaultPortGuid(0)), u"Local Area Connection", u"Voice", 5, false);
        MakeVlan(ToGuid(DefaultPortGuid(1)), u"Local Area Connection 2", u"Data", 6, false);
        MakeVlan(ToGuid(DefaultPortGuid(1)), u"Local Area Connection 2", u"Mgmt", 7, false);
    };
    Fresh(withVlans);
    ASSERT_EQ(VlansOf(0) + VlansOf(1), 3);
    const std::string before = ExportRegistry();
    shell_->answers.push_back(kIdCancel);
    Create({0, 1}, kIdLacp);
    EXPECT_EQ(Status(),
              u"There are vlans associated with the underlying Nic. \r\nRemove the vlans to continue "
              u"team creation\r\n");
    ASSERT_EQ(shell_->messages.size(), 1u);
    EXPECT_EQ(shell_->messages[0].text,
              u"The vlans associated with underlying Nics will be removed. Press OK to "
              u"continue");
    EXPECT_EQ(std::tie(shell_->messages[0].title, shell_->messages[0].style),
              std::make_tuple(u"Warning", kMbIconWarning | kMbOkCancel));
    EXPECT_EQ(ExportRegistry(), before);

    // After OK every VLAN of every member goes before any member is unbound: here the unbinding
    // fails (another program holds the configuration lock), and no VLAN is left all the same.
    for (const bool locked : {true, false}) {
        Fresh(withVlans);
        ASSERT_TRUE(!locked || sim::HoldWriteLock(u"Network Connections", nullptr));
        Create({0, 1}, kIdLacp);
        EXPECT_EQ(shell_->messages.size(), 1u);
        EXPECT_EQ(Status(), locked ? LockHeldText(u"Network Connections") : u"Team Created.");
        EXPECT_EQ(VlansOf(0) + VlansOf(1), 0);
        EXPECT_EQ(g_numTeams, locked ? 0 : 1);
        ASSERT_TRUE(!locked || sim::FreeWriteLock());
    }
}

// Another program holds the network-configuration lock: the members cannot be unbound, the status
// names the holder (never the "Please wait" of the start), and the machine and the page stay as
// they were.
TEST_F(RequestTest, UnbindingRefusedNamesTheLockHolder) {
    for (const std::u16string holder : {u"Network Connections", u"Backup Agent 7"}) {
        SCOPED_TRACE(ToUtf8(holder));
        Fresh([&] { ASSERT_TRUE(sim::HoldWriteLock(holder, nullptr)); });
        const std::string before = ExportRegistry();
        const auto rows = Rows(kIdUnassignedList);
        Create({0, 1}, kIdActiveBackup);
        EXPECT_EQ(Status(), LockHeldText(holder));
        EXPECT_EQ(ExportRegistry(), before);
        EXPECT_EQ(Rows(kIdUnassignedList), rows);
        EXPECT_EQ(CountChecked(kIdUnassignedList), 2);
        EXPECT_EQ(g_numTeams, 0);
        ASSERT_TRUE(sim::FreeWriteLock());
    }
}

TEST_F(RequestTest, NewTeamTakesTheLowestFreeSlot) {
    const std::pair<std::vector<uint32_t>, uint32_t> cases[] = {
        {{}, 0x420}, {{0x120, 0x122}, 0x421}, {{0x220, 0x121, 0x122}, 0x423}, {{0x121}, 0x420}};
    for (const auto& [numbers, expected] : cases) {
        SCOPED_TRACE(expected);
        Fresh([&] { AddStoredTeams(numbers); });
        Create({0, 1}, kIdLacp, u"New");
        EXPECT_EQ(Status(), u"Team Created.");
        EXPECT_EQ(StoreValue(0, u"TeamNumber"), DwordBytes(expected));
        EXPECT_EQ(StoreValue(1, u"TeamNumber"), DwordBytes(expected));
        EXPECT_EQ(g_numTeams, static_cast<int>(numbers.size()) + 1);
    }
}

TEST_F(RequestTest, CreatedTeamIsListedAndStored) {
    Create({0, 2}, kIdFailback, u"Sales");
    EXPECT_EQ(Status(), u"Team Created.");
    ASSERT_EQ(WaitDialogs(), 1);
    EXPECT_TRUE(shell_->views.back()->ended());
    EXPECT_EQ(state_->page.waitDialog, nullptr);
    EXPECT_EQ(g_numTeams, 1);
    EXPECT_EQ(Rows(kIdTeamedList), std::vector<std::u16string>{u"Sales"});
    EXPECT_EQ(Rows(kIdUnassignedList).size(), 3u);
    EXPECT_EQ(view_->Control(kIdTeamName).text, u"Team0");
    const std::u16string binding = u"\\Device\\" + GuidToString(state_->lists.teamAdapters.entries[0].guid);
    for (int port : {0, 2}) {
        EXPECT_EQ(StoreValue(port, u"TeamNumber"), DwordBytes(0x920));
        EXPECT_EQ(StoreValue(port, u"Order"), DwordBytes(port / 2));
        EXPECT_EQ(StoreValue(port, u"TeamBinding"), qv::testing::StringBytes(binding));
    }
}

// A team adapter that never reports its address leaves the members as they were (not renamed, not
// hidden): the status says so and not "Team Created.", and the team is listed, so that removing it
// gives the machine back.
TEST_F(RequestTest, TeamWithoutAddressIsReportedAndCanBeRemoved) {
    Fresh([] { ASSERT_TRUE(sim::WriteHostValue(sim::kHostMiniportAddressDelay, sim::kMiniportAddressNever)); });
    const std::string before = ExportRegistry();
    Create({0, 1}, kIdTxLoadBalancing, u"Sales");
    EXPECT_EQ(Status(),
              u"The team adapter did not report its address:\r\nthe members were not added to the "
              u"team.\r\nRemove the team and create it again.\r\n");
    EXPECT_EQ(g_numTeams, 1);
    EXPECT_EQ(Rows(kIdTeamedList), std::vector<std::u16string>{u"Sales"});
    for (int port : {0, 1}) {
        const auto adapter = qv::testing::ReadAdapter(DefaultPortGuid(port));
        EXPECT_FALSE(adapter.hasNetworkAddress) << port;
        EXPECT_EQ(adapter.characteristics.value_or(0) & 0x8, 0u) << port;  // not hidden
        EXPECT_EQ(adapter.friendlyName.find(u"Sales"), std::u16string::npos) << port;
        EXPECT_TRUE(adapter.hasStoreEntry) << port;
    }
    Toggle(kIdTeamedList, 0);
    Click(kIdRemove);
    EXPECT_EQ(Status(), u"Team Removed.");
    EXPECT_EQ(g_numTeams, 0);
    EXPECT_EQ(ExportRegistry(), before);
}

TEST_F(RequestTest, RemovingTwoTeamsGivesTheirMembersBack) {
    std::vector<Guid> teams;
    Fresh([&] {
        teams = {MakeTeam(u"Team0", {0, 1}, 0).guid, MakeTeam(u"Team1", {2, 3}, 1).guid};
        MakeVlan(teams[1], u"Team1", u"Voice", 9, true);
    });
    ASSERT_EQ(g_numTeams, 2);
    for (const Guid& team : teams) Toggle(kIdTeamedList, TeamRow(team));
    Click(kIdRemove);
    EXPECT_EQ(Status(), u"Team Removed.");
    EXPECT_EQ(g_numTeams, 0);
    EXPECT_TRUE(Rows(kIdTeamedList).empty());  // the VLAN adapter went too
    EXPECT_EQ(Rows(kIdUnassignedList).size(), 5u);
    for (int port = 0; port < 4; ++port) {
        const auto adapter = qv::testing::ReadAdapter(DefaultPortGuid(port));
        EXPECT_FALSE(adapter.hasStoreEntry) << port;
        EXPECT_TRUE(adapter.disabled.empty()) << port;
        EXPECT_EQ(adapter.friendlyName.find(u"Team"), std::u16string::npos) << port;
    }
}

// A removal refused and requests whose worker cannot start leave the machine as it was.
TEST_F(RequestTest, RequestsThatDoNotRun) {
    const struct {
        bool create, admin, thread;
        std::u16string status;
    } cases[] = {
        {true, true, false, u"Cannot Create Team at this time."},
        {false, true, false, u"Cannot Remove Team at this time."},
        {false, false, true,
         u"User should have Admin privilege to be   \r\nable to remove a team. Please  login as Admin  "
         u"\r\nand "
         u"try again\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.status));
        Fresh([&] { MakeTeam(u"Team0", {0, 1}, 0); });
        // The rights go after the page was filled: without them the lists would stay empty.
        ASSERT_TRUE(sim::WriteHostValue(u"Administrator", c.admin ? 1 : 0));
        shell_->failStartThread = !c.thread;
        const std::string before = ExportRegistry();
        c.create ? Create({2, 3}, kIdLacp) : (Toggle(kIdTeamedList, 0), Click(kIdRemove));
        EXPECT_EQ(Status(), c.status);
        ASSERT_EQ(WaitDialogs(), 1);
        EXPECT_TRUE(shell_->views.back()->ended());
        EXPECT_EQ(g_numTeams, 1);
        EXPECT_EQ(ExportRegistry(), before);
    }
}

}  // namespace
}  // namespace qv::cfg::testing
