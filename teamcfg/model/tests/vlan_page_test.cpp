// The VLAN page and the Add Vlan dialog: the dialog's checks, the untagged rules, and adding and
// removing VLAN adapters on a simulated machine.
#include <gtest/gtest.h>

#include <filesystem>

#include "qv/platform/registry.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan_list.h"
#include "sheet_fixture.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::DefaultPortGuid;

void AddEntry(VlanList& vlans, uint16_t id, std::u16string_view name) {
    vlans.ids[vlans.count] = id;
    U16CopyInto(vlans.names[vlans.count], kVlanNameCapacity, name);
    ++vlans.count;
}

TEST(AddVlanDialog, ChecksInOrder) {
    struct Case {
        const char* name;
        int existing;  // entries "Vlan1".."VlanN" with ids 1..N
        std::u16string id, vlanName;
        bool untagged;
        const char16_t* message;  // nullptr: none
        int result;               // kIdOk, kIdCancel, or 0 while the dialog stays open
    } cases[] = {
        {"highest id", 1, u"4095", u"Top", false, nullptr, kIdOk},
        {"lowest id", 1, u"2", u"Low", false, nullptr, kIdOk},
        {"above the range", 1, u"4096", u"Big", false, u"Vlan ID should be in 1-4095 range", 0},
        {"zero tagged", 1, u"0", u"Zero", false, u"Vlan ID should be in 1-4095 range", 0},
        {"zero untagged", 1, u"0", u"Untagged", true, nullptr, kIdOk},
        {"negative", 1, u"-5", u"Neg", false, u"Vlan ID should be in 1-4095 range", 0},
        {"huge", 1, u"18446744073709555612", u"Huge", false, u"Vlan ID should be in 1-4095 range", 0},
        {"same id", 1, u"1", u"Other", false, u"This Vlan ID or Vlan Name is already being used", 0},
        {"name in other case", 1, u"7", u"vLAN1", false, u"This Vlan ID or Vlan Name is already being used",
         0},
        {"clash before range", 1, u"5000", u"VLAN1", false,
         u"This Vlan ID or Vlan Name is already being used", 0},
        {"blank name", 1, u"7", u" x", false, u"Vlan Name should not be blank", 0},
        {"no id", 1, u"", u"Name", false, nullptr, kIdCancel},
        {"no name", 1, u"7", u"", false, nullptr, kIdCancel},
        {"64th", 63, u"100", u"Last", false, nullptr, kIdOk},
        {"65th", 64, u"100", u"Over", false,
         u"Number of Vlans has exceeded limit of 64 vlans. Try deleting some vlans", kIdCancel},
    };
    for (const Case& c : cases) {
        auto vlans = std::make_unique<VlanList>();
        for (int i = 1; i <= c.existing; ++i)
            AddEntry(*vlans, static_cast<uint16_t>(i), U16Format(u"Vlan%d", i));
        FakeShell shell;
        AddVlanDialog dialog(*vlans, shell);
        FakeDialogView view(kDlgAddVlan);
        dialog.OnInitDialog(view);
        view.Type(kIdVlanId, c.id);
        view.Type(kIdVlanName, c.vlanName);
        view.SetChecked(kIdUntaggedVlan, c.untagged);
        view.Click(dialog, kIdOk);
        EXPECT_EQ(view.ended() ? view.result() : 0, c.result) << c.name;
        ASSERT_EQ(shell.messages.size(), c.message ? 1u : 0u) << c.name;
        if (c.message) {
            EXPECT_EQ(shell.messages[0].text, c.message) << c.name;
            EXPECT_EQ(shell.messages[0].title, u"Error");
            EXPECT_EQ(shell.messages[0].style, kMbIconWarning);
        }
        EXPECT_EQ(vlans->count, c.existing + (c.result == kIdOk ? 1 : 0)) << c.name;
        if (c.result == kIdOk) {
            EXPECT_EQ(std::u16string(vlans->names[c.existing]), c.vlanName);
            EXPECT_EQ(U16Format(u"%d", vlans->ids[c.existing]), c.id);
        }
    }
}

TEST(AddVlanDialog, UntaggedOnlyJoinsTaggedVlansAndOnlyOnce) {
    auto vlans = std::make_unique<VlanList>();
    FakeShell shell;
    const auto untaggedEnabled = [&] {
        AddVlanDialog dialog(*vlans, shell);
        FakeDialogView view(kDlgAddVlan);
        dialog.OnInitDialog(view);
        EXPECT_EQ(view.Control(kIdVlanName).text, u"Vlan #");
        return view.Control(kIdUntaggedVlan).enabled;
    };
    EXPECT_FALSE(untaggedEnabled());
    AddEntry(*vlans, 5, u"Five");
    EXPECT_TRUE(untaggedEnabled());

    AddVlanDialog dialog(*vlans, shell);
    FakeDialogView view(kDlgAddVlan);
    dialog.OnInitDialog(view);
    view.Click(dialog, kIdUntaggedVlan);
    EXPECT_EQ(view.Control(kIdVlanId).text, u"0");
    EXPECT_EQ(view.Control(kIdVlanName).text, u"Untagged");
    EXPECT_FALSE(view.Control(kIdVlanId).enabled);
    view.Click(dialog, kIdUntaggedVlan);
    EXPECT_EQ(view.Control(kIdVlanId).text, u"");
    EXPECT_EQ(view.Control(kIdVlanName).text, u"Vlan #");
    EXPECT_TRUE(view.Control(kIdVlanId).enabled);
    view.Click(dialog, kIdUntaggedVlan);
    view.Click(dialog, kIdOk);
    ASSERT_EQ(view.result(), kIdOk);
    EXPECT_EQ(vlans->ids[1], 0);
    EXPECT_FALSE(untaggedEnabled());
}

// The VLAN page over default port 0, with the Add Vlan dialog scripted to enter the next id and
// name of `next`.
struct VlanPageTest : ::testing::Test {
    explicit VlanPageTest(const sim::InventoryOptions& options = {}) : f(options) {
        f.SelectNic(port);
        f.shell.scripts[kDlgAddVlan] = [this](FakeDialogView& dialog, DialogClient& client) {
            dialog.Type(kIdVlanId, U16Format(u"%d", next.first));
            dialog.Type(kIdVlanName, next.second);
            dialog.Click(client, kIdOk);
        };
        EXPECT_EQ(page.OnInitDialog(view), 1);
    }
    void Add(int id, std::u16string name) {
        next = {id, std::move(name)};
        view.Click(page, kIdAddVlan);
    }
    bool Hidden() const {
        uint32_t type = 0;
        const auto bytes =
            qv::testing::ReadValueBytes(qv::testing::DriverKeyPathOf(port), u"Characteristics", &type);
        return bytes && bytes->size() == 4 && ((*bytes)[0] & 0x8) != 0;
    }
    bool TcpipBound() const {
        for (const sim::AdapterBinding& b : sim::ReadAdapterBindings(port))
            if (b.protocolId == u"ms_tcpip") return b.enabled;
        return false;
    }
    std::vector<std::u16string> Names() const { return view.Column(kIdVlanList, 0); }

    const std::u16string port = DefaultPortGuid(0);
    PageFixture f;
    VlanPage page{*f.state, f.shell};
    FakeDialogView view{kDlgVlanPage};
    std::pair<int, std::u16string> next;
};

TEST_F(VlanPageTest, AddThreeRemoveTheMiddleThenTheRest) {
    ASSERT_TRUE(TcpipBound());
    const FakeControl& list = view.Control(kIdVlanList);
    EXPECT_TRUE(list.style.checkBoxes && list.style.gridLines && list.style.fullRowSelect);
    EXPECT_EQ(list.columns,
              (std::vector<std::pair<std::u16string, int>>{{u"Vlan Name", 215}, {u"Vlan ID", 75}}));

    Add(10, u"V10");
    EXPECT_TRUE(Hidden());
    EXPECT_FALSE(TcpipBound());
    Add(20, u"V20");
    Add(30, u"V30");
    EXPECT_EQ(f.shell.busyShown, 3);
    EXPECT_FALSE(f.shell.busyOpen);
    EXPECT_EQ(Names(), std::vector<std::u16string>({u"V10", u"V20", u"V30"}));
    EXPECT_EQ(view.Column(kIdVlanList, 1), std::vector<std::u16string>({u"10", u"20", u"30"}));
    const Guid third = f.state->vlans.guids[2];

    view.Control(kIdVlanList).rows[1].checked = true;
    f.shell.answers.push_back(kIdCancel);
    view.Click(page, kIdRemoveVlan);
    ASSERT_EQ(f.shell.messages.size(), 1u);
    EXPECT_EQ(f.shell.messages[0].text, u"The following entries will be removed:-\r\nV20: 20\r\n");
    EXPECT_EQ(f.shell.messages[0].title, u"Warning");
    EXPECT_EQ(f.shell.messages[0].style, kMbOkCancel | kMbIconWarning);
    EXPECT_EQ(Names().size(), 3u);

    view.Click(page, kIdRemoveVlan);
    EXPECT_EQ(Names(), std::vector<std::u16string>({u"V10", u"V30"}));
    ASSERT_EQ(f.state->vlans.count, 2);
    EXPECT_EQ(f.state->vlans.ids[1], 30);
    EXPECT_EQ(f.state->vlans.guids[1], third);

    view.Control(kIdVlanList).rows[1].checked = true;  // the third, moved up, removes with its GUID
    view.Click(page, kIdRemoveVlan);
    EXPECT_EQ(Names(), std::vector<std::u16string>({u"V10"}));
    auto onMachine = std::make_unique<VlanList>();
    ASSERT_TRUE(GetVlanListForNic(qv::testing::ToGuid(port), onMachine.get()));
    ASSERT_EQ(onMachine->count, 1);
    EXPECT_EQ(onMachine->ids[0], 10);
    EXPECT_TRUE(Hidden());

    view.Control(kIdVlanList).rows[0].checked = true;  // the last one: shown and bound again
    view.Click(page, kIdRemoveVlan);
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(f.state->vlans.count, 0);
    EXPECT_FALSE(Hidden());
    EXPECT_TRUE(TcpipBound());

    const size_t shown = f.shell.messages.size();
    view.Click(page, kIdRemoveVlan);  // nothing left: no question
    EXPECT_EQ(f.shell.messages.size(), shown);
}

TEST_F(VlanPageTest, AFailedFirstVlanLeavesTheAdapterAsItWas) {
    for (const auto& file : std::filesystem::directory_iterator(f.machine.dir() / "Windows" / "Inf"))
        std::filesystem::remove(file.path());  // no miniport INF: the VLAN adapter cannot be installed
    Add(10, u"V10");
    ASSERT_EQ(f.shell.messages.size(), 1u);
    EXPECT_EQ(f.shell.messages[0].text.rfind(u"Failed to add vlan. Error=0x", 0), 0u);
    EXPECT_EQ(f.shell.messages[0].title, u"Error");
    EXPECT_EQ(f.state->vlans.count, 0);
    EXPECT_TRUE(Names().empty());
    EXPECT_FALSE(Hidden());
    EXPECT_TRUE(TcpipBound());
    EXPECT_FALSE(f.shell.busyOpen);
}

using NonAdminVlanPageTest = VlanPageTest;

// The rights go after the sheet opened: without them no adapter would be listed to select.
TEST_F(NonAdminVlanPageTest, BothButtonsAskForAnAdministrator) {
    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0));
    view.Click(page, kIdAddVlan);
    view.Click(page, kIdRemoveVlan);
    ASSERT_EQ(f.shell.messages.size(), 2u);
    for (const ShownMessage& m : f.shell.messages) {
        EXPECT_EQ(m.text, u"Please login as Administrator to create or remove vlans");
        EXPECT_EQ(m.title, u"Error");
        EXPECT_EQ(m.style, kMbIconWarning);
    }
    EXPECT_EQ(f.shell.views.size(), 0u);  // no Add Vlan dialog ran
    EXPECT_EQ(f.shell.busyShown, 0);
}

TEST(VlanPage, AnAdapterThatDoesNotOpenCannotChangeVlans) {
    PageFixture f;
    f.SelectNic(DefaultPortGuid(0));
    f.state->lists.unassignedAdapters.entries[f.state->nicSelected].guid =
        qv::testing::ToGuid(u"{7EA0FFFF-0000-4000-8000-00000000000F}");
    FakeDialogView view(kDlgVlanPage);
    ASSERT_EQ(OnInitVlansDialog(*f.state, f.shell, view), 1);
    EXPECT_FALSE(view.Control(kIdAddVlan).enabled);
    EXPECT_FALSE(view.Control(kIdRemoveVlan).enabled);
    FakeDialogView bare(kDlgGeneralPage);  // no list control
    EXPECT_EQ(OnInitVlansDialog(*f.state, f.shell, bare), 0);
    ASSERT_EQ(f.shell.messages.size(), 1u);
    EXPECT_EQ(f.shell.messages[0].text, u"Could not get handle to list control");
}

}  // namespace
}  // namespace qv::cfg::testing
