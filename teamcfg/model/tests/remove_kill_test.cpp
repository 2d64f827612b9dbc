// A team removal from the page killed after each of its registry changes in turn: the worker's whole
// road (the team's VLANs, the members given back, their store entries, the team adapter) runs in a
// forked child; after each kill the command line's repair must give the registry back as it was
// before the team was made, value for value, and leave any other team as it was (kill_rounds.h).
#include <algorithm>
#include <string>
#include <vector>

#include "kill_rounds.h"

namespace qv::cfg::testing {
namespace {

// The user's road: the team's row checked in the team list, Remove.
std::function<int(ChildPage&)> Remove(std::u16string team) {
    return [team](ChildPage& p) {
        const std::vector<std::u16string> rows = p.view.Column(kIdTeamedList);
        const auto row = std::find(rows.begin(), rows.end(), team);
        if (row == rows.end()) return kRowNotListed;
        p.view.ToggleItem(p.page, kIdTeamedList, static_cast<int>(row - rows.begin()));
        p.view.Click(p.page, kIdRemove);
        return p.view.Control(kIdStatus).text == u"Team Removed." ? kFlowDone : kFlowFailed;
    };
}

TeamCmdRun MakeTeam(const char* name, const char* first, const char* second, const char* mode) {
    return {{"-n", name, "-c", first, second, mode}, 0};
}

TEST(RemoveTeamKilled, AfterAnyChangeTheCommandLineGivesTheMachineBack) {
    const TeamCmdRun team0 = MakeTeam("Team0", "Local Area Connection", "Local Area Connection 2", "1");
    const struct {
        const char* what;
        KillCase round;
        std::vector<int> notRecovered;  // the kills after which the repair leaves a difference
    } cases[] = {
        {"a team of two", {.made = {team0}, .flow = Remove(u"Team0")}, {}},
        {"a team with a VLAN",
         {.made = {team0, {{"-a", "Team0", "Voice", "100"}, 1}}, .flow = Remove(u"Team0")},
         {}},
        // The repair names the removed team: `-r` alone would take the other one too. The simulated
        // network configuration stores a new adapter's binding paths at its next change, so Team0 is
        // made and removed once beside Team1 before the registry is taken: Team1's paths are then
        // stored as on a machine that has had the team for a while.
        {"one of two teams",
         {.kept = {MakeTeam("Team1", "Local Area Connection 3", "Local Area Connection 4", "2"),
                   team0,
                   {{"-r", "Team0"}, 1}},
          .made = {team0},
          .flow = Remove(u"Team0"),
          .repair = {{"-d", "all"}, {"-r", "Team0"}}},
         {}},
    };
    std::vector<int> kills;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const KillOutcome outcome = RunKillRounds(c.round);
        EXPECT_GT(outcome.kills, 10) << "the removal was expected to make many changes";
        EXPECT_EQ(outcome.notRecovered, c.notRecovered) << outcome.differences;
        RecordProperty(c.what, outcome.kills);
        kills.push_back(outcome.kills);
    }
    EXPECT_GT(kills[1], kills[0]) << "removing the VLAN was expected to add changes";
}

}  // namespace
}  // namespace qv::cfg::testing
