// The teaming page on simulated machines: its rebuild, the default team name, the selection rules,
// the mode boxes, Move Up/Down, the tray box and the program's start.
#include <cstring>

#include "page_fixture.h"
#include "qv/sim/host_state.h"
#include "qv/teamcfg/app.h"
#include "qv/teamcfg/tray.h"
#include "qv/testing/machine_processes.h"

namespace qv::cfg::testing {
namespace {

TEST_F(PageTest, InitFillsThePage) {
    CheckPorts({0, 1});
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);  // a rebuild starts over, with one column each
    EXPECT_EQ(view_->Control(kIdUnassignedList).columns,
              (decltype(FakeControl::columns){{u"Unassigned Adapters", 275}}));
    EXPECT_EQ(view_->Control(kIdTeamedList).columns,
              (decltype(FakeControl::columns){{u"Teamed Adapters", 275}}));
    EXPECT_TRUE(view_->Control(kIdTeamedList).style.checkBoxes &&
                view_->Control(kIdUnassignedList).style.checkBoxes);
    ASSERT_EQ(Rows(kIdUnassignedList).size(), 5u);  // four n5 ports and the other vendor's adapter
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Rows(kIdUnassignedList)[i], state_->lists.unassignedAdapters.entries[i].displayName);
    EXPECT_EQ(CountChecked(kIdUnassignedList), 0);
    EXPECT_EQ(Status(),
              u"Select two NICs from 'Unassigned Adapters' list  \r\nchoose a 'Teaming Mode', and click on "
              u"'Create\r\nTeam' button. Use 'Move Up'/'Move Down' button\r\nto set preference order of an "
              u"adapter within a team");
    for (int id : {kIdCreateTeam, kIdRemove, kIdProperties, kIdActiveBackup, kIdTxLoadBalancing, kIdLacp,
                   kIdFailback, kIdMoveUp, kIdMoveDown})
        EXPECT_FALSE(view_->Control(id).enabled) << id;
}

// A user who is no administrator: the driver keys do not open, the lists stay empty and the status
// box says why; an administrator gets the help text again.
TEST_F(PageTest, WithoutAdministratorRightsTheStatusBoxSaysSo) {
    Fresh([] { ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0)); });
    EXPECT_TRUE(Rows(kIdUnassignedList).empty());
    EXPECT_TRUE(Rows(kIdTeamedList).empty());
    EXPECT_EQ(Status(), u"Administrator rights are needed: run this program as an administrator.");

    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 1));
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);
    EXPECT_EQ(Rows(kIdUnassignedList).size(), 5u);
    EXPECT_EQ(Status().rfind(u"Select two NICs", 0), 0u);
}

TEST_F(PageTest, DefaultTeamNameIsTheFirstFreeOfFour) {
    const std::pair<std::vector<std::u16string>, std::u16string> cases[] = {
        {{}, u"Team0"},
        {{u"team0", u"TEAM1"}, u"Team2"},
        {{u"Team1"}, u"Team0"},
        {{u"Team3", u"team2", u"Team1", u"Team0"}, u"Team3"},
    };
    for (const auto& [teams, name] : cases) {
        SCOPED_TRACE(ToUtf8(name));
        Fresh([&] {
            for (size_t n = 0; n < teams.size(); ++n) AddStoredTeam(static_cast<int>(n), 0x110, teams[n]);
        });
        EXPECT_EQ(g_numTeams, static_cast<int>(teams.size()));
        EXPECT_EQ(view_->Control(kIdTeamName).text, name);
    }
}

// MoveUp, MoveDown, Properties, Create Team, Remove, then the mode boxes Active Backup, Tx Load
// Balancing, LACP, Failback: 'x' disabled, 'o' enabled, upper case when checked.
std::string Controls(const FakeDialogView& view) {
    std::string text;
    for (int id : {kIdMoveUp, kIdMoveDown, kIdProperties, kIdCreateTeam, kIdRemove, kIdActiveBackup,
                   kIdTxLoadBalancing, kIdLacp, kIdFailback}) {
        const FakeControl& c = view.Control(id);
        text += c.enabled ? (c.checked ? 'O' : 'o') : (c.checked ? 'X' : 'x');
        if (id == kIdRemove) text += ' ';
    }
    return text;
}

TEST_F(PageTest, SelectionRules) {
    // Actions: a0..a4 toggle an adapter row, t0..t3 toggle stored team n (modes 9, 2, 4, 1), "AB"
    // clicks Active Backup, "L" is a click on the adapter list that changes no check box.
    const struct {
        std::vector<std::string> actions;
        const char* controls;
        int adapters, teams;  // checked
    } cases[] = {
        {{"a0"}, "oooxx xxxx", 1, 0},
        {{"a0", "a2"}, "xxxox oooo", 2, 0},
        {{"a0", "a1", "AB", "a2"}, "xxxox xoox", 3, 0},  // only Tx Load Balancing and LACP stay
        {{"a0", "a0"}, "xxxxx xxxx", 0, 0},
        {{"a0", "t0"}, "xxoxo XxxX", 0, 1},
        {{"t1"}, "xxoxo xXxx", 0, 1},
        {{"t2"}, "xxoxo xxXx", 0, 1},
        {{"t3"}, "xxoxo Xxxx", 0, 1},
        {{"t0", "t1"}, "xxxxo xxxx", 0, 2},
        {{"t1", "t1"}, "xxxxx xxxx", 0, 0},
        {{"t1", "L"}, "xxoxo xXxx", 0, 1},
        {{"a0", "a1", "t2"}, "xxoxo xxXx", 0, 1},
        {{"t2", "a1"}, "oooxx xxxx", 1, 0},
    };
    Fresh([] { AddStoredTeams({0x920, 0x221, 0x422, 0x123}); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.controls);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        for (const std::string& a : c.actions) {
            if (a[0] == 'a') Toggle(kIdUnassignedList, a[1] - '0');
            if (a[0] == 't') Toggle(kIdTeamedList, TeamRow(qv::testing::ToGuid(StoredTeamGuid(a[1] - '0'))));
            if (a == "AB") Click(kIdActiveBackup);
            if (a == "L") page_->OnListClick(*view_, kIdUnassignedList);
        }
        EXPECT_EQ(Controls(*view_), c.controls);
        EXPECT_EQ(CountChecked(kIdUnassignedList), c.adapters);
        EXPECT_EQ(CountChecked(kIdTeamedList), c.teams);
    }
}

TEST_F(PageTest, ModeBoxesAreExclusive) {
    const int ab = kIdActiveBackup, tlb = kIdTxLoadBalancing, lacp = kIdLacp, fb = kIdFailback;
    const std::pair<std::vector<int>, const char*> cases[] = {
        {{ab}, "1000"},       {{fb}, "1001"},        {{fb, ab}, "0000"},
        {{fb, tlb}, "0100"},  {{tlb, lacp}, "0010"}, {{lacp, ab}, "1000"},
        {{lacp, fb}, "1001"}, {{fb, fb}, "1000"},    {{tlb, tlb}, "0000"},
    };
    for (const auto& [clicks, checked] : cases) {
        SCOPED_TRACE(checked);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        CheckPorts({0, 1});
        for (int id : clicks) Click(id);
        std::string shown;
        for (int id : {ab, tlb, lacp, fb}) shown += view_->Control(id).checked ? '1' : '0';
        EXPECT_EQ(shown, checked);
    }
}

TEST_F(PageTest, MoveKeepsDetailsWithTheEntryAndStopsAtTheEnds) {
    const struct {
        int row, button, to;  // to: -1 when nothing moves
    } cases[] = {{2, kIdMoveUp, 1}, {2, kIdMoveDown, 3}, {0, kIdMoveUp, -1}, {4, kIdMoveDown, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row * 10000 + c.button);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        const AdapterList before = state_->lists.unassignedAdapters;
        const std::vector<std::u16string> rows = Rows(kIdUnassignedList);
        Toggle(kIdUnassignedList, c.row);
        Click(c.button);
        const AdapterEntry* entries = state_->lists.unassignedAdapters.entries;
        const int to = c.to < 0 ? c.row : c.to;
        EXPECT_EQ(std::memcmp(&entries[to], &before.entries[c.row], sizeof(AdapterEntry)), 0);
        EXPECT_EQ(std::memcmp(&entries[c.row], &before.entries[to], sizeof(AdapterEntry)), 0);
        EXPECT_EQ(Rows(kIdUnassignedList)[to], rows[c.row]);
        EXPECT_EQ(Rows(kIdUnassignedList)[c.row], rows[to]);
        EXPECT_EQ(CountChecked(kIdUnassignedList), 1);
        EXPECT_TRUE(view_->IsItemChecked(kIdUnassignedList, to));
    }
}

// The box shows whether the tray program runs; checking it while it runs starts no second one. (The
// simulated host cannot start programs yet: a start from the box is not seen here.)
TEST_F(PageTest, TrayBoxFollowsTheTrayProgram) {
    qv::testing::MachineProcesses programs;
    const pid_t tray = programs.Start("QvTray.exe");
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);
    EXPECT_TRUE(view_->Control(kIdEnableTray).checked);
    Click(kIdEnableTray);  // unchecked: the stop message goes out
    Click(kIdEnableTray);
    EXPECT_EQ(CountProcessesNamed(kTrayImageName, 8), 1);
    programs.Kill(tray);
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);
    EXPECT_FALSE(view_->Control(kIdEnableTray).checked);
}

TEST_F(PageTest, ProgramStart) {
    FakeShell good;
    EXPECT_EQ(TeamCfgMain(good), 0);
    ASSERT_EQ(good.sheets.size(), 1u);
    const SheetDescription& sheet = good.sheets[0];
    EXPECT_EQ(std::tie(sheet.caption, sheet.iconId, sheet.ownedByPage),
              std::make_tuple(u"Quorvex Configuration Utility", 102, false));
    ASSERT_EQ(sheet.pages.size(), 1u);
    EXPECT_EQ(std::tie(sheet.pages[0].templateId, sheet.pages[0].title),
              std::make_tuple(1100, u"Quorvex Teaming"));
    EXPECT_EQ(good.views.at(0)->Column(kIdUnassignedList).size(), 5u);
    EXPECT_TRUE(good.messages.empty());

    FakeShell failing;
    failing.failPropertySheet = true;
    qv::testing::MachineProcesses programs;
    for (const auto& [shell, message] :
         {std::pair{&failing, u"Cannot Create Property Sheet"},
          std::pair{&good, u"Another Instance of the app is already running"}}) {
        if (shell == &good)
            good.messages.clear(), programs.Start("QvTeamCfg.exe"), programs.Start("QvTeamCfg.exe");
        const size_t sheets = shell->sheets.size();
        EXPECT_EQ(TeamCfgMain(*shell), 0);
        EXPECT_EQ(shell->sheets.size(), sheets);
        ASSERT_EQ(shell->messages.size(), 1u);
        EXPECT_EQ(shell->messages[0].text, message);
        EXPECT_EQ(std::tie(shell->messages[0].title, shell->messages[0].style), std::make_tuple(u"", kMbOk));
    }
}

}  // namespace
}  // namespace qv::cfg::testing
