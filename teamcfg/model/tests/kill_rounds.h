// A flow of the teaming page killed after each of its registry changes in turn, as a crash or an
// outside kill would stop it, then repaired by the command line: the rounds that the kill suites
// share. Each round starts a fresh default machine, makes its teams with QvTeamCmd, runs the flow
// in a forked child on the page's headless view and shell, and after the kill runs the repair
// (QvTeamCmd as a program, on virtual time); the machine's registry must then be, value for value,
// what it was at the round's expected point. The last round, which the child finishes by itself,
// is held to the same standard.
//
// The registry's kill switch is read once per process, at its first change: a suite that runs these
// rounds makes no change in its own process (machines are made by `qvsim init`, teams and the
// repair by programs), so each child reads the switch it was given.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "page_fixture.h"

namespace qv::cfg::testing {

using CommandLine = std::vector<std::string>;

// A QvTeamCmd run of a round's set-up and the status it must end with.
struct TeamCmdRun {
    CommandLine args;
    int status;
};

// The repair an administrator knows: every VLAN adapter, then every team.
inline const std::vector<CommandLine> kRepairAll = {{"-d", "all"}, {"-r"}};

// How a child that was not killed ended.
enum ChildEnd : int { kFlowDone = 0, kFlowFailed = 1, kPageNotFilled = 2, kRowNotListed = 3 };

// The teaming page as the child opens it (on virtual time).
struct ChildPage {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    FakeDialogView view{kDlgTeamingPage};
    FakeShell shell;
    TeamingPage page{*state, shell};
};

struct KillCase {
    std::vector<TeamCmdRun> kept;         // made before the expected registry is taken: the repair keeps it
    std::vector<TeamCmdRun> made;         // made after it: the flow or the repair takes it away
    std::function<int(ChildPage&)> flow;  // the user's road on the open page; returns a ChildEnd
    std::vector<CommandLine> repair = kRepairAll;
};

struct KillOutcome {
    int kills = 0;                  // rounds in which the flow was killed
    std::vector<int> notRecovered;  // rounds (their kill change) whose repair left a difference
    std::string differences;        // for each of them: the first differing line and the flow's last
                                    // trace lines (the step it was killed in)
};

// Runs the rounds for change = 1, 2, ... until the flow finishes by itself (at most a few hundred).
// A round that cannot be set up or whose child does not end as expected fails the current test; a
// difference after the repair is only reported in the outcome.
KillOutcome RunKillRounds(const KillCase& c);

}  // namespace qv::cfg::testing
