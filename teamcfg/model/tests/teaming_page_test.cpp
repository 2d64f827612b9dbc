// The teaming page on simulated machines: its rebuild, the default team name, the selection rules,
// the mode boxes, Move Up/Down, the tray box and the program's start.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "page_fixture.h"
#include "qv/teamcfg/app.h"
#include "qv/teamcfg/tray.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "qv/testing/machine_processes.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::DefaultPortGuid;

constexpr char16_t kHelp[] =
    u"Select two NICs from 'Unassigned Adapters' list  \r\nchoose a 'Teaming Mode', and click on 'Create\r\n"
    u"Team' button. Use 'Move Up'/'Move Down' button\r\nto set preference order of an adapter within a team";

TEST_F(PageTest, InitFillsThePageOnceEachTime) {
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        for (const auto& [list, title] : {std::pair{kIdUnassignedList, u"Unassigned Adapters"},
                                          std::pair{kIdTeamedList, u"Teamed Adapters"}}) {
            const FakeControl& control = view_->Control(list);
            ASSERT_EQ(control.columns.size(), 1u);
            EXPECT_EQ(control.columns[0], std::make_pair(std::u16string(title), 275));
            EXPECT_TRUE(control.style.checkBoxes);
        }
        // Four n5 ports and the other vendor's adapter, each row with its display name.
        ASSERT_EQ(Rows(kIdUnassignedList).size(), 5u);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Rows(kIdUnassignedList)[i], state_->lists.unassignedAdapters.entries[i].displayName);
        EXPECT_TRUE(Rows(kIdTeamedList).empty());
        EXPECT_EQ(Status(), kHelp);
        EXPECT_EQ(view_->Control(kIdTeamName).text, u"Team0");
        EXPECT_FALSE(view_->Control(kIdEnableTray).checked);
        for (int id : {kIdCreateTeam, kIdRemove, kIdProperties, kIdActiveBackup, kIdTxLoadBalancing, kIdLacp,
                       kIdFailback, kIdMoveUp, kIdMoveDown})
            EXPECT_FALSE(view_->Control(id).enabled) << id;
        // A rebuild with rows checked and buttons enabled starts over.
        CheckPorts({0, 1});
        state_->checkedAdapters[0] = 3;
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        EXPECT_EQ(state_->checkedAdapters[0], 0);
    }
}

TEST_F(PageTest, DefaultTeamNameIsTheFirstFreeOfFour) {
    const struct {
        std::vector<std::u16string> teams;
        std::u16string name;
    } cases[] = {
        {{}, u"Team0"},
        {{u"team0", u"TEAM1"}, u"Team2"},
        {{u"Team1"}, u"Team0"},
        {{u"Team3", u"team2", u"Team1", u"Team0"}, u"Team3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        Fresh([&] {
            for (size_t n = 0; n < c.teams.size(); ++n)
                AddStoredTeam(static_cast<int>(n), 0x110 + static_cast<uint32_t>(n), c.teams[n]);
        });
        EXPECT_EQ(g_numTeams, static_cast<int>(c.teams.size()));
        EXPECT_EQ(view_->Control(kIdTeamName).text, c.name);
    }
}

// One user action on the page.
struct Action {
    enum Kind { kToggleAdapter, kToggleTeam, kClick, kListClick } kind;
    int arg;  // row, control id or list id
};

// The state of MoveUp, MoveDown, Properties, Create Team, Remove, then the four mode boxes (Active
// Backup, Tx Load Balancing, LACP, Failback): 'x' disabled, 'o' enabled, upper case when checked.
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
    using A = Action;
    const struct {
        const char* what;
        std::vector<Action> actions;
        const char* controls;
        int checkedAdapters, checkedTeams;
    } cases[] = {
        {"one adapter", {{A::kToggleAdapter, 0}}, "oooxx xxxx", 1, 0},
        {"two adapters", {{A::kToggleAdapter, 0}, {A::kToggleAdapter, 2}}, "xxxox oooo", 2, 0},
        {"three adapters after Active Backup",
         {{A::kToggleAdapter, 0},
          {A::kToggleAdapter, 1},
          {A::kClick, kIdActiveBackup},
          {A::kToggleAdapter, 2}},
         "xxxox xoox",
         3,
         0},
        {"one adapter unchecked again", {{A::kToggleAdapter, 0}, {A::kToggleAdapter, 0}}, "xxxxx xxxx", 0, 0},
        {"a team of mode 9 after an adapter",
         {{A::kToggleAdapter, 0}, {A::kToggleTeam, 0}},
         "xxoxo XxxX",
         0,
         1},
        {"a team of mode 2", {{A::kToggleTeam, 1}}, "xxoxo xXxx", 0, 1},
        {"a team of mode 4", {{A::kToggleTeam, 2}}, "xxoxo xxXx", 0, 1},
        {"a team of mode 1", {{A::kToggleTeam, 3}}, "xxoxo Xxxx", 0, 1},
        {"two teams", {{A::kToggleTeam, 0}, {A::kToggleTeam, 1}}, "xxxxo xxxx", 0, 2},
        {"a team unchecked again", {{A::kToggleTeam, 1}, {A::kToggleTeam, 1}}, "xxxxx xxxx", 0, 0},
        {"a click on the adapters with a team checked",
         {{A::kToggleTeam, 1}, {A::kListClick, kIdUnassignedList}},
         "xxoxo xXxx",
         0,
         1},
        {"two adapters, then a team",
         {{A::kToggleAdapter, 0}, {A::kToggleAdapter, 1}, {A::kToggleTeam, 2}},
         "xxoxo xxXx",
         0,
         1},
        {"a team, then one adapter", {{A::kToggleTeam, 2}, {A::kToggleAdapter, 1}}, "oooxx xxxx", 1, 0},
    };
    Fresh([] {
        const uint32_t numbers[] = {0x920, 0x221, 0x422, 0x123};
        for (int n = 0; n < 4; ++n) AddStoredTeam(n, numbers[n], U16Format(u"T%d", n));
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        for (const Action& a : c.actions) {
            switch (a.kind) {
                case A::kToggleAdapter:
                    Toggle(kIdUnassignedList, a.arg);
                    break;
                case A::kToggleTeam:
                    Toggle(kIdTeamedList, TeamRow(qv::testing::ToGuid(StoredTeamGuid(a.arg))));
                    break;
                case A::kClick:
                    Click(a.arg);
                    break;
                case A::kListClick:
                    page_->OnListClick(*view_, a.arg);
                    break;
            }
        }
        EXPECT_EQ(Controls(*view_), c.controls);
        EXPECT_EQ(CountChecked(kIdUnassignedList), c.checkedAdapters);
        EXPECT_EQ(CountChecked(kIdTeamedList), c.checkedTeams);
    }
}

TEST_F(PageTest, ModeBoxesAreExclusive) {
    const struct {
        std::vector<int> clicks;
        const char* checked;  // Active Backup, Tx Load Balancing, LACP, Failback
    } cases[] = {
        {{kIdActiveBackup}, "1000"},
        {{kIdFailback}, "1001"},
        {{kIdFailback, kIdActiveBackup}, "0000"},
        {{kIdFailback, kIdTxLoadBalancing}, "0100"},
        {{kIdTxLoadBalancing, kIdLacp}, "0010"},
        {{kIdLacp, kIdActiveBackup}, "1000"},
        {{kIdLacp, kIdFailback}, "1001"},
        {{kIdFailback, kIdFailback}, "1000"},
        {{kIdTxLoadBalancing, kIdTxLoadBalancing}, "0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.checked);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        CheckPorts({0, 1});
        for (int id : c.clicks) Click(id);
        std::string checked;
        for (int id : {kIdActiveBackup, kIdTxLoadBalancing, kIdLacp, kIdFailback})
            checked += view_->Control(id).checked ? '1' : '0';
        EXPECT_EQ(checked, c.checked);
    }
}

TEST_F(PageTest, MoveKeepsDetailsWithTheEntryAndStopsAtTheEnds) {
    const int last = static_cast<int>(Rows(kIdUnassignedList).size()) - 1;
    const struct {
        int row, button, to;  // to: -1 when nothing moves
    } cases[] = {{2, kIdMoveUp, 1}, {2, kIdMoveDown, 3}, {0, kIdMoveUp, -1}, {last, kIdMoveDown, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row * 10000 + c.button);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
        const AdapterList before = state_->lists.unassignedAdapters;
        const std::vector<std::u16string> rowsBefore = Rows(kIdUnassignedList);
        Toggle(kIdUnassignedList, c.row);
        Click(c.button);
        const AdapterList& after = state_->lists.unassignedAdapters;
        if (c.to < 0) {
            EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
            EXPECT_EQ(Rows(kIdUnassignedList), rowsBefore);
            EXPECT_TRUE(view_->IsItemChecked(kIdUnassignedList, c.row));
            continue;
        }
        EXPECT_EQ(std::memcmp(&after.entries[c.to], &before.entries[c.row], sizeof(AdapterEntry)), 0);
        EXPECT_EQ(std::memcmp(&after.entries[c.row], &before.entries[c.to], sizeof(AdapterEntry)), 0);
        EXPECT_EQ(Rows(kIdUnassignedList)[c.to], rowsBefore[c.row]);
        EXPECT_EQ(Rows(kIdUnassignedList)[c.row], rowsBefore[c.to]);
        EXPECT_TRUE(view_->IsItemChecked(kIdUnassignedList, c.to));
        EXPECT_FALSE(view_->IsItemChecked(kIdUnassignedList, c.row));
    }
}

// The tray box shows whether the tray program runs; checking it while it runs starts no second one.
// (The simulated host cannot start programs yet, so a start from the box is not seen here.)
TEST_F(PageTest, TrayBoxFollowsTheTrayProgram) {
    qv::testing::MachineProcesses programs;
    const pid_t tray = programs.Start("QvTray.exe");
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);
    EXPECT_TRUE(view_->Control(kIdEnableTray).checked);
    Click(kIdEnableTray);  // unchecked: the stop message goes out
    Click(kIdEnableTray);  // checked again while it runs
    EXPECT_EQ(CountProcessesNamed(kTrayImageName, 8), 1);
    programs.Kill(tray);
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);
    EXPECT_FALSE(view_->Control(kIdEnableTray).checked);
}

TEST_F(PageTest, ProgramStart) {
    {
        FakeShell shell;
        EXPECT_EQ(TeamCfgMain(shell), 0);
        ASSERT_EQ(shell.sheets.size(), 1u);
        const SheetSpec& sheet = shell.sheets[0];
        EXPECT_EQ(sheet.caption, u"Quorvex Configuration Utility");
        EXPECT_EQ(sheet.iconId, 102);
        EXPECT_FALSE(sheet.ownedByPage);
        ASSERT_EQ(sheet.pages.size(), 1u);
        EXPECT_EQ(sheet.pages[0].templateId, 1100);
        EXPECT_EQ(sheet.pages[0].title, u"Quorvex Teaming");
        EXPECT_EQ(shell.views.at(0)->Column(kIdUnassignedList).size(), 5u);
        EXPECT_TRUE(shell.messages.empty());
    }
    {
        FakeShell shell;
        shell.failPropertySheet = true;
        EXPECT_EQ(TeamCfgMain(shell), 0);
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_EQ(shell.messages[0].text, u"Cannot Create Property Sheet");
        EXPECT_EQ(shell.messages[0].title, u"");
    }
    qv::testing::MachineProcesses programs;
    programs.Start("QvTeamCfg.exe");
    programs.Start("QvTeamCfg.exe");
    FakeShell shell;
    EXPECT_EQ(TeamCfgMain(shell), 0);
    EXPECT_TRUE(shell.sheets.empty());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, u"Another Instance of the app is already running");
    EXPECT_EQ(shell.messages[0].title, u"");
    EXPECT_EQ(shell.messages[0].style, kMbOk);
}

}  // namespace
}  // namespace qv::cfg::testing
