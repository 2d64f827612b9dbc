// The property sheet and its General, Statistics and team Properties pages on simulated machines.
#include "qv/teamcfg/property_pages.h"

#include <gtest/gtest.h>

#include "qv/sim/device_database.h"
#include "qv/sim/ndis_adapter.h"
#include "qv/teamcfg/device_queries.h"
#include "qv/teamcfg/property_sheet.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/text.h"
#include "sheet_fixture.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::DefaultPortGuid;
using qv::testing::kOtherVendorGuid;
using qv::testing::kTeamA;

std::u16string Value(const FakeDialogView& view, int listId, std::u16string_view name) {
    for (const FakeRow& row : view.Control(listId).rows)
        if (row.cells.at(0) == name) return row.cells.size() > 1 ? row.cells[1] : u"";
    ADD_FAILURE() << "no row " << ToUtf8(name);
    return {};
}

TEST(PropertySheet, PagesFollowTheSelection) {
    PageFixture f;
    f.MakeTeam(QV_MODE_ACTIVE_BACKUP, {{2, 0}, {3, 1}});
    FakeDialogView page(kDlgTeamingPage);
    page.Control(kIdUnassignedList).rows.resize(static_cast<size_t>(f.state->lists.unassignedAdapters.count));
    page.Control(kIdTeamedList).rows.resize(1);
    page.Control(kIdTeamedList).rows[0].checked = true;
    // The checked adapter (a foreign one, an n5 port, none: the team) and the sheet's pages with titles.
    const struct {
        std::u16string checked;  // empty: no adapter checked
        std::vector<std::pair<int, std::u16string>> pages;
    } cases[] = {
        {kOtherVendorGuid, {{kDlgGeneralPage, u"General"}, {kDlgStatisticsPage, u"Statistics"}}},
        {DefaultPortGuid(0),
         {{kDlgGeneralPage, u"General"}, {kDlgStatisticsPage, u"Statistics"}, {kDlgVlanPage, u"VLAN"}}},
        {u"",
         {{kDlgGeneralPage, u"General"},
          {kDlgStatisticsPage, u"Statistics"},
          {kDlgVlanPage, u"VLAN"},
          {kDlgTeamPropertiesPage, u"Properties"}}},
    };
    for (const auto& c : cases) {
        const std::u16string& checked = c.checked;
        for (FakeRow& row : page.Control(kIdUnassignedList).rows) row.checked = false;
        if (!checked.empty())
            page.Control(kIdUnassignedList)
                .rows[static_cast<size_t>(PageFixture::IndexOf(f.state->lists.unassignedAdapters, checked))]
                .checked = true;  // an adapter wins over the checked team
        ShowPropertiesPage(*f.state, f.shell, page);
        const SheetDescription& sheet = f.shell.sheets.back();
        std::vector<std::pair<int, std::u16string>> pages;
        for (const SheetPage& shown : sheet.pages) pages.emplace_back(shown.templateId, shown.title);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(sheet.caption, u"Properties");
        EXPECT_EQ(sheet.iconId, kIconSheet);
        EXPECT_TRUE(sheet.ownedByPage);
        EXPECT_EQ(f.state->teamSelected, checked.empty() ? 0 : -1);
    }
    EXPECT_TRUE(f.shell.messages.empty());
    f.shell.failPropertySheet = true;
    ShowPropertiesPage(*f.state, f.shell, page);
    ASSERT_EQ(f.shell.messages.size(), 1u);
    EXPECT_EQ(f.shell.messages[0].text, u"Cannot Create Property Sheet");
    EXPECT_EQ(f.shell.messages[0].title, u"");
}

TEST(GeneralPage, ShowsTheAdaptersFactsAndFollowsACablePull) {
    PageFixture f;
    f.SelectNic(DefaultPortGuid(0));
    ASSERT_TRUE(qv::testing::WriteValueBytes(
        u"System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + DefaultPortGuid(0),
        u"IPAddress", kRegMultiSz, qv::testing::MultiStringBytes({u"10.1.2.3", u"10.1.2.4"})));
    GeneralPage client(*f.state, f.shell);
    FakeDialogView view(kDlgGeneralPage);
    ASSERT_EQ(client.OnInitDialog(view), 1);
    const FakeControl& list = view.Control(kIdGeneralList);
    EXPECT_EQ(list.columns,
              (std::vector<std::pair<std::u16string, int>>{{u"Information", 100}, {u"Value", 250}}));
    EXPECT_TRUE(list.style.gridLines);
    const auto rows = Rows(view, kIdGeneralList);
    ASSERT_EQ(rows.size(), 12u);
    const AdapterEntry& entry = f.state->lists.unassignedAdapters.entries[f.state->nicSelected];
    const auto instance = sim::FindDeviceByNetCfgInstanceId(DefaultPortGuid(0));
    ASSERT_TRUE(instance);
    const auto adapter = sim::ReadNdisAdapter(*instance);
    ASSERT_TRUE(adapter);
    const uint8_t* mac = adapter->permanentAddress;
    const std::u16string macText =
        U16Format(u"%02x-%02x-%02x-%02x-%02x-%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    ASSERT_NE(macText, u"00-00-00-00-00-00");
    const std::vector<std::u16string> expected = {
        u"Adapter Name=" + std::u16string(entry.displayName),
        u"Current MAC Address=" + macText,
        u"Permanent MAC Address=" + macText,
        u"Link Speed=10 Gbps",
        u"Link Status=Connected",
        u"Driver Name=system32\\DRIVERS\\qvn5.sys",
        u"Driver State=Installed",
        u"Driver Date=3-14-2008",
        u"Driver Version=" + std::u16string(entry.driverVersion),
        u"IP Address=10.1.2.3",
        u"Offload Capabilities=LSO, Checksum Offload, TOE",
        u"MTU=1514",
    };
    EXPECT_EQ(rows, expected);

    ASSERT_TRUE(sim::WriteNdisFact(DefaultPortGuid(0), sim::kNdisMediaConnect, 1));
    client.OnSetActive(view);
    EXPECT_EQ(Value(view, kIdGeneralList, u"Link Status"), u"Network Cable Unplugged");
    EXPECT_EQ(view.Control(kIdGeneralList).rows.size(), 12u);
}

// One fact of the simulated adapter set as qvsim would set it, and the row that shows it.
TEST(GeneralPage, RowsFollowTheAdaptersFacts) {
    const std::u16string port = DefaultPortGuid(1);
    const struct {
        std::u16string guid;
        uint32_t osMajor;
        std::u16string_view fact;
        uint32_t value;
        const char16_t* row;
        const char16_t* text;
    } cases[] = {
        // NDIS 5 (the other vendor's adapter): checksum and large send tasks, TOE as task 3.
        {kOtherVendorGuid, 5, sim::kNdisConnectionOffload, 0, u"Offload Capabilities",
         u"LSO, Checksum Offload"},
        {kOtherVendorGuid, 5, sim::kNdisConnectionOffload, 1, u"Offload Capabilities",
         u"TOE, LSO, Checksum Offload"},
        // NDIS 6 (n5 ports): TOE from the connection offload answer.
        {port, 5, sim::kNdisConnectionOffload, 1, u"Offload Capabilities", u"LSO, Checksum Offload, TOE"},
        {port, 5, sim::kNdisConnectionOffload, 0, u"Offload Capabilities", u"LSO, Checksum Offload"},
        // 400 Gbit/s is shown as such only on Windows 5.x.
        {port, 5, sim::kNdisLinkSpeed, 4000000000u, u"Link Speed", u"400 Gbps"},
        {port, 6, sim::kNdisLinkSpeed, 4000000000u, u"Link Speed", u"10 Gbps"},
        {port, 5, sim::kNdisMaxFrameSize, 9014, u"MTU", u"9014"},
    };
    for (const auto& c : cases) {
        sim::InventoryOptions options;
        options.osMajor = c.osMajor;
        PageFixture f(options);
        ASSERT_TRUE(sim::WriteNdisFact(c.guid, c.fact, c.value));
        f.SelectNic(c.guid);
        FakeDialogView view(kDlgGeneralPage);
        OnInitPropertiesDialog(*f.state, f.shell, view);
        EXPECT_EQ(Value(view, kIdGeneralList, c.row), c.text) << ToUtf8(c.guid) << " " << ToUtf8(c.fact);
    }
}

TEST(GeneralPage, AnAdapterThatDoesNotOpenLeavesTheListEmpty) {
    PageFixture f;
    f.SelectNic(DefaultPortGuid(0));
    f.state->lists.unassignedAdapters.entries[f.state->nicSelected].guid = qv::testing::ToGuid(kTeamA);
    FakeDialogView view(kDlgGeneralPage);
    EXPECT_EQ(OnInitPropertiesDialog(*f.state, f.shell, view), 0);
    EXPECT_EQ(view.GetItemCount(kIdGeneralList), 0);
    EXPECT_TRUE(f.shell.messages.empty());
    view.failCreateListView = true;
    OnInitPropertiesDialog(*f.state, f.shell, view);
    ASSERT_EQ(f.shell.messages.size(), 1u);
    EXPECT_EQ(f.shell.messages[0].text, u"Cannot Create Control");
}

// Each query answers the counter and then advances it by the row number, so the n-th read of row
// k answers (n - 1) * k.
TEST(StatisticsPage, RefreshAndResetAgainstTheBaseline) {
    PageFixture f;
    f.SelectNic(DefaultPortGuid(0));
    StatisticsPage client(*f.state, f.shell);
    FakeDialogView view(kDlgStatisticsPage);
    ASSERT_EQ(client.OnInitDialog(view), 1);
    const auto values = [&] {
        std::vector<std::u16string> texts;
        for (const FakeRow& row : view.Control(kIdStatisticsList).rows) texts.push_back(row.cells.at(1));
        return texts;
    };
    const auto expect = [&](auto valueOfRow) {
        std::vector<std::u16string> texts = {u" "};
        for (int k = 1; k <= 21; ++k) {
            if (k == 12) texts.insert(texts.end(), {u" ", u" "});
            texts.push_back(U16Format(u"%I64u", static_cast<uint64_t>(valueOfRow(k))));
        }
        return texts;
    };
    const auto names = view.Column(kIdStatisticsList, 0);
    ASSERT_EQ(names.size(), 24u);
    EXPECT_EQ(names[0], u"General Statistics");
    EXPECT_EQ(names[1], u"Frames Transmitted OK");
    EXPECT_EQ(names[11], u"Received CRC Error Frames");
    EXPECT_EQ(names[12], u"");
    EXPECT_EQ(names[13], u"Ethernet Statistics");
    EXPECT_EQ(names[23], u"Transmit Late Collisions");
    EXPECT_EQ(values(), expect([](int) { return 0; }));

    view.Click(client, kIdRefresh);  // second read: k
    EXPECT_EQ(values(), expect([](int k) { return k; }));
    view.Click(client, kIdReset);  // baseline k, third read 2k
    EXPECT_EQ(values(), expect([](int k) { return k; }));
    // Counters that do not move: rewind each to the value last read (the fourth read, 3k), so the
    // reset's read answers it again and shows 0.
    view.Click(client, kIdRefresh);
    for (int k = 1; k <= 21; ++k)
        ASSERT_TRUE(sim::WriteNdisCounter(DefaultPortGuid(0), sim::kStatisticsOids[k - 1], 3u * k));
    view.Click(client, kIdReset);
    EXPECT_EQ(values(), expect([](int) { return 0; }));
}

TEST(TeamPropertiesPage, ModeMethodAndPreferenceOrder) {
    struct Case {
        int32_t mode;
        int selection;
        std::vector<std::u16string> methods;
    } cases[] = {
        {QV_MODE_ACTIVE_BACKUP, 0, {}},
        {QV_MODE_TLB, 1, {u"Connection based", u"Round Robin"}},
        {QV_MODE_LACP, 2, {}},
        {QV_MODE_FAILBACK, 3, {}},
    };
    for (const Case& c : cases) {
        PageFixture f;
        f.MakeTeam(c.mode, {{1, 1}, {2, 0}});
        f.SelectTeam(kTeamA);
        FakeDialogView view(kDlgTeamPropertiesPage);
        TeamPropertiesPage client(*f.state);
        ASSERT_EQ(client.OnInitDialog(view), 1);
        const FakeControl& modes = view.Control(kIdTeamModeList);
        EXPECT_EQ(modes.strings,
                  std::vector<std::u16string>({u"Active Backup", u"Transmit Load Balancing", u"802.3ad LACP",
                                               u"Active Backup with Failback to Active"}));
        EXPECT_EQ(modes.selection, c.selection);
        EXPECT_FALSE(modes.enabled);
        EXPECT_EQ(view.Control(kIdTeamMethodList).strings, c.methods);
        EXPECT_EQ(view.Control(kIdTeamMethodList).selection, c.methods.empty() ? -1 : 0);
        EXPECT_FALSE(view.Control(kIdTeamMethodList).enabled);
        // The member with Order 0 (port 2) comes first.
        const TeamInfo& team = f.state->page.teams.teams[f.state->teamSelected];
        ASSERT_EQ(team.numNics, 2);
        const auto& members = view.Control(kIdTeamMembersList).strings;
        ASSERT_EQ(members.size(), 2u);
        EXPECT_EQ(members[0], team.memberNames[team.Order[0] == 0 ? 0 : 1]);
        EXPECT_NE(members[0], members[1]);
        EXPECT_NE(members[0], u"dummy");
    }
}

TEST(TeamPropertiesPage, MissingMembersAndDamagedOrdersKeepTheirPlaceholder) {
    PageFixture f;
    f.MakeTeam(QV_MODE_ACTIVE_BACKUP, {{1, 0}, {2, 1}});
    f.SelectTeam(kTeamA);
    TeamInfo& team = f.state->page.teams.teams[f.state->teamSelected];
    team.numNics = 3;
    team.memberGuids[2] = qv::testing::ToGuid(u"{7EA0FFFF-0000-4000-8000-00000000000F}");  // removed adapter
    team.Order[2] = 2;
    team.Order[1] = 7;  // outside the list: that member has no place
    FakeDialogView view(kDlgTeamPropertiesPage);
    ASSERT_EQ(PopulateAdaptersInTeam(view, team, kIdTeamMembersList), 1);
    const auto& members = view.Control(kIdTeamMembersList).strings;
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0], team.memberNames[0]);
    EXPECT_EQ(members[1], u"dummy");
    EXPECT_EQ(members[2], u"dummy");
}

}  // namespace
}  // namespace qv::cfg::testing
