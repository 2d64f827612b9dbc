// A team creation from the page killed after each of its registry changes in turn: the worker's
// whole road (team store, unbinding, team adapter, wiring of the members) runs in a forked child;
// after each kill the command line's clean-up (`QvTeamCmd -d all`, then `-r`) must give the
// machine's registry back as it was before, value for value (kill_rounds.h).
#include <string>
#include <vector>

#include "kill_rounds.h"

namespace qv::cfg::testing {
namespace {

// The user's road: the ports checked, the mode box clicked, Create Team.
std::function<int(ChildPage&)> Create(std::vector<int> ports, int modeBox) {
    return [ports, modeBox](ChildPage& p) {
        for (int port : ports) {
            const int row = PageTest::RowIn(p.state->lists.unassignedAdapters, DefaultPortGuid(port));
            if (row < 0) return kRowNotListed;
            p.view.ToggleItem(p.page, kIdUnassignedList, row);
        }
        p.view.Click(p.page, modeBox);
        p.view.Click(p.page, kIdCreateTeam);
        return p.view.Control(kIdStatus).text == u"Team Created." ? kFlowDone : kFlowFailed;
    };
}

TEST(CreateTeamKilled, AfterAnyChangeTheCommandLineGivesTheMachineBack) {
    const struct {
        const char* what;
        std::vector<TeamCmdRun> teamBefore;  // a team of the command line, made first
        std::function<int(ChildPage&)> creation;
    } cases[] = {
        {"two members, Active Backup with failback", {}, Create({0, 1}, kIdFailback)},
        {"three members, LACP", {}, Create({0, 1, 2}, kIdLacp)},
        {"beside a team of the command line",
         {{{"-n", "Team0", "-c", "Local Area Connection 3", "Local Area Connection 4", "1"}, 0}},
         Create({0, 1}, kIdTxLoadBalancing)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The clean-up removes every team, the command line's too: the machine goes back to its start.
        const KillOutcome outcome = RunKillRounds({.kept = {}, .made = c.teamBefore, .flow = c.creation});
        EXPECT_GT(outcome.kills, 10) << "the creation was expected to make many changes";
        EXPECT_EQ(outcome.notRecovered, std::vector<int>{}) << outcome.differences;
        RecordProperty(c.what, outcome.kills);
    }
}

}  // namespace
}  // namespace qv::cfg::testing
