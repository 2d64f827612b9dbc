#include "kill_rounds.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include "qv/testing/child_process.h"
#include "qv/testing/golden.h"
#include "qv/testing/program_run.h"
#include "qv/testing/temp_dir.h"

namespace qv::cfg::testing {
namespace {

using qv::testing::ExportRegistry;
using qv::testing::MachineOptions;
using qv::testing::RunProgram;
using qv::testing::TempMachine;

// Far more changes than any flow makes: a flow that never finishes fails instead of looping.
constexpr int kMostChanges = 400;
// Trace lines shown with a round that was not repaired: the steps the flow was in when it died.
constexpr size_t kTraceLinesShown = 6;

enum class RoundEnd { kKilled, kFinished, kBroken };

qv::testing::Exited RunTeamCmd(const TempMachine& machine, const CommandLine& args) {
    return RunProgram("QvTeamCmd", machine.dir(), args, {"QV_VIRTUAL_TIME=1"});
}

bool MakeWithTeamCmd(const TempMachine& machine, const std::vector<TeamCmdRun>& runs) {
    for (const TeamCmdRun& run : runs) {
        const int status = RunTeamCmd(machine, run.args).status;
        if (status != run.status) {
            ADD_FAILURE() << "set-up QvTeamCmd " << ::testing::PrintToString(run.args) << " ended with "
                          << status;
            return false;
        }
    }
    return true;
}

// The last count lines of text (all of it when it has fewer).
std::string LastLines(const std::string& text, size_t count) {
    size_t start = text.size();
    if (start > 0 && text[start - 1] == '\n') --start;  // the last line's own end
    for (size_t found = 0; start > 0; --start)
        if (text[start - 1] == '\n' && ++found == count) break;
    return text.substr(start);
}

// The child: the page opens and the flow runs; the process kills itself after its change-th
// registry change, otherwise it ends with the flow's result. Its trace lines go to trace.
[[noreturn]] void RunFlowInChild(const KillCase& c, int change, const std::string& trace) {
    setenv("QV_SIM_KILL_AFTER_WRITES", std::to_string(change).c_str(), 1);
    setenv("QV_TRACE", trace.c_str(), 1);
    sim::UseVirtualClock(true);
    auto page = std::make_unique<ChildPage>();
    if (page->page.OnInitDialog(page->view) != 1) _exit(kPageNotFilled);
    _exit(c.flow(*page));
}

// One round; a repair that leaves a difference is added to outcome (not a failure by itself).
RoundEnd RunRound(const KillCase& c, int change, KillOutcome* outcome) {
    TempMachine machine(MachineOptions::OnFirstUse());
    if (!machine.ok()) return RoundEnd::kBroken;
    if (RunProgram("qvsim", machine.dir(), {"init"}).status != 0) {
        ADD_FAILURE() << "qvsim init failed";
        return RoundEnd::kBroken;
    }
    if (!MakeWithTeamCmd(machine, c.kept)) return RoundEnd::kBroken;
    const std::string expected = ExportRegistry();
    if (!MakeWithTeamCmd(machine, c.made)) return RoundEnd::kBroken;

    const std::string trace = (machine.scratch() / "flow.trace").string();
    qv::testing::Child child([&] { RunFlowInChild(c, change, trace); });
    const qv::testing::ChildStatus end = child.Wait();
    const bool killed = end.signal == SIGKILL;
    if (!killed && end.exitCode < 0) {
        ADD_FAILURE() << "the flow ended with signal " << end.signal;
        return RoundEnd::kBroken;
    }
    if (!killed) {
        EXPECT_EQ(end.exitCode, kFlowDone) << "the flow's own end (ChildEnd)";
    }

    for (const CommandLine& args : c.repair) RunTeamCmd(machine, args);
    const ::testing::AssertionResult same =
        qv::testing::SameText(expected, ExportRegistry(), "registry after the repair");
    if (!same) {
        outcome->notRecovered.push_back(change);
        outcome->differences += "change " + std::to_string(change) + (killed ? "" : " (not killed)") + ": " +
                                same.message() + "\nlast trace lines of the flow:\n" +
                                LastLines(qv::testing::ReadFile(trace), kTraceLinesShown) + "\n";
    }
    return killed ? RoundEnd::kKilled : RoundEnd::kFinished;
}

}  // namespace

KillOutcome RunKillRounds(const KillCase& c) {
    KillOutcome outcome;
    for (int change = 1; change <= kMostChanges; ++change) {
        SCOPED_TRACE("kill switch at change " + std::to_string(change));
        const RoundEnd end = RunRound(c, change, &outcome);
        if (end == RoundEnd::kBroken || end == RoundEnd::kFinished) return outcome;
        ++outcome.kills;
    }
    ADD_FAILURE() << "the flow did not finish within " << kMostChanges << " changes";
    return outcome;
}

}  // namespace qv::cfg::testing
