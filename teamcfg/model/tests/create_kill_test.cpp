// A team creation from the page killed after each of its registry changes in turn, as a crash or an
// outside kill would stop it: the worker's whole road (team store, unbinding, team adapter, wiring
// of the members) runs in a forked child on the page's headless view and shell; after each kill the
// command line's clean-up (`QvTeamCmd -d all`, then `-r`) must give the machine's registry back as
// it was before, value for value. The last round, which the child finishes by itself, holds the
// made team to the same standard.
//
// The registry's kill switch is read once per process, at its first change: this suite makes no
// change in its own process (the machines are made by `qvsim init`, teams of the command line and
// the clean-up run as programs), so each child reads the switch it was given.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "page_fixture.h"
#include "qv/teamcfg/team_request.h"
#include "qv/testing/golden.h"
#include "qv/testing/program_run.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::ExportRegistry;
using qv::testing::MachineOptions;
using qv::testing::RunProgram;
using qv::testing::TempMachine;

// A creation: the ports checked and the mode box clicked.
struct Creation {
    std::vector<int> ports;
    int modeBox;
};

// How a child that was not killed ended.
enum ChildEnd : int { kTeamCreated = 0, kNotCreated = 1, kPageNotFilled = 2, kPortNotListed = 3 };

// The user's road in the child: the page opens, the ports are checked, the mode box clicked, Create
// Team. The process kills itself after its change-th registry change; otherwise it ends with what
// the status box said.
[[noreturn]] void CreateInChild(const Creation& creation, int change) {
    setenv("QV_SIM_KILL_AFTER_WRITES", std::to_string(change).c_str(), 1);
    sim::UseVirtualClock(true);
    auto state = std::make_unique<AppState>();
    FakeDialogView view(kDlgTeamingPage);
    FakeShell shell;
    TeamingPage page(*state, shell);
    if (page.OnInitDialog(view) != 1) _exit(kPageNotFilled);
    for (int port : creation.ports) {
        const int row = PageTest::RowIn(state->lists.unassignedAdapters, DefaultPortGuid(port));
        if (row < 0) _exit(kPortNotListed);
        view.ToggleItem(page, kIdUnassignedList, row);
    }
    view.Click(page, creation.modeBox);
    view.Click(page, kIdCreateTeam);
    _exit(view.Control(kIdStatus).text == u"Team Created." ? kTeamCreated : kNotCreated);
}

qv::testing::Exited RunTeamCmd(const TempMachine& machine, const std::vector<std::string>& args) {
    return RunProgram("QvTeamCmd", machine.dir(), args, {"QV_VIRTUAL_TIME=1"});
}

TEST(CreateTeamKilled, AfterAnyChangeTheCommandLineGivesTheMachineBack) {
    const struct {
        const char* what;
        std::vector<std::string> teamBefore;  // QvTeamCmd's arguments of a team made first; none when empty
        Creation creation;
    } cases[] = {
        {"two members, Active Backup with failback", {}, {{0, 1}, kIdFailback}},
        {"three members, LACP", {}, {{0, 1, 2}, kIdLacp}},
        {"beside a team of the command line",
         {"-n", "Team0", "-c", "Local Area Connection 3", "Local Area Connection 4", "1"},
         {{0, 1}, kIdTxLoadBalancing}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int kills = 0;
        std::vector<int> notRecovered;  // the changes after which the clean-up left a difference
        for (int change = 1; change < 400; ++change) {
            SCOPED_TRACE("killed after change " + std::to_string(change));
            TempMachine machine(MachineOptions::OnFirstUse());
            ASSERT_TRUE(machine.ok());
            ASSERT_EQ(RunProgram("qvsim", machine.dir(), {"init"}).status, 0);
            const std::string before = ExportRegistry();
            if (!c.teamBefore.empty()) {
                ASSERT_EQ(RunTeamCmd(machine, c.teamBefore).status, 0);
            }

            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) CreateInChild(c.creation, change);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            ASSERT_TRUE(killed || WIFEXITED(status)) << "status " << status;
            if (!killed) {
                EXPECT_EQ(WEXITSTATUS(status), kTeamCreated);
            }

            RunTeamCmd(machine, {"-d", "all"});
            RunTeamCmd(machine, {"-r"});
            const ::testing::AssertionResult same =
                qv::testing::SameText(before, ExportRegistry(), "registry after the clean-up");
            EXPECT_TRUE(same);
            if (!same) notRecovered.push_back(change);
            if (!killed) break;
            ++kills;
        }
        EXPECT_GT(kills, 10) << "the creation was expected to make many changes";
        EXPECT_EQ(notRecovered, std::vector<int>{});
        RecordProperty(c.what, kills);
    }
}

}  // namespace
}  // namespace qv::cfg::testing
