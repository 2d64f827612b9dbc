#include "apply.h"

#include <sstream>

#include "console.h"
#include "qv/platform/utf.h"
#include "run.h"

namespace qv::qvteam {
namespace {

// What QvTeamCmd said, without its banner and blank lines, as one line.
std::string Said(const std::string& output) {
    std::istringstream lines(output);
    std::string line;
    std::string said;
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
        if (line.empty() || line.starts_with("Quorvex Teaming Command line Utility")) continue;
        said += (said.empty() ? "" : "; ") + line;
    }
    return said;
}

class Runner {
  public:
    explicit Runner(const CommandRunner& run) : run_(run) {}

    // Runs one step; true when the machine shows its effect afterwards. *after is the machine then.
    bool Run(const Step& step, StepReport* report, MachineState* after) {
        MachineState now;
        if (!Read(&now, report)) return false;
        const auto command = CommandFor(step, now);
        if (!command) {
            report->why = "its team or VLAN is not on the machine";
            return false;
        }
        report->command = *command;
        std::string output;
        const uint32_t status = run_(*command, &output);
        if (!Read(after, report)) return false;
        if (StepTookEffect(step, *after)) return true;
        report->why = Said(output);
        if (report->why.empty()) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%X", status);
            report->why = std::string("QvTeamCmd ended with status ") + hex +
                          " and the machine does not show the change";
        }
        return false;
    }

  private:
    static bool Read(MachineState* state, StepReport* report) {
        std::string error;
        if (ReadMachineState(state, &error)) return true;
        report->why = error;
        return false;
    }

    const CommandRunner& run_;
};

}  // namespace

uint32_t RunQvTeamCmdInProcess(const std::vector<std::string>& args, std::string* output) {
    std::vector<std::u16string> wide;
    for (const std::string& arg : args) wide.push_back(FromUtf8(arg));
    teamcmd::ConsoleCapture capture;
    const uint32_t status = teamcmd::RunQvTeamCmd(wide);
    *output += capture.Text();
    return status;
}

std::string_view ResultWord(StepResult result) {
    switch (result) {
        case StepResult::kDone:
            return "done";
        case StepResult::kFailed:
            return "failed";
        case StepResult::kUndone:
            return "undone";
        case StepResult::kUndoFailed:
            return "undo failed";
        case StepResult::kNotRun:
            return "not run";
    }
    return "";
}

ApplyReport ApplySteps(const std::vector<Step>& steps, const CommandRunner& run) {
    ApplyReport report;
    Runner runner(run);
    std::vector<Step> undo;  // of the steps that took effect, in their order
    size_t failedAt = steps.size();
    for (size_t i = 0; i < steps.size(); ++i) {
        StepReport& step = report.steps.emplace_back();
        step.step = steps[i];
        MachineState after;
        if (!runner.Run(steps[i], &step, &after)) {
            step.result = StepResult::kFailed;
            failedAt = i;
            break;
        }
        step.result = StepResult::kDone;
        undo.push_back(UndoStep(steps[i], after));
    }
    for (size_t i = report.steps.size(); i < steps.size(); ++i)
        report.steps.push_back({steps[i], StepResult::kNotRun, {}, {}});
    report.failed = failedAt < steps.size();
    if (report.failed) {
        for (size_t i = undo.size(); i-- > 0;) {
            StepReport undoing;
            MachineState after;
            const bool undone = runner.Run(undo[i], &undoing, &after);
            report.steps[i].result = undone ? StepResult::kUndone : StepResult::kUndoFailed;
            if (!undone) report.steps[i].why = "undo: " + undoing.why;
        }
    }
    for (const StepReport& step : report.steps) {
        if (step.result == StepResult::kDone || step.result == StepResult::kUndoFailed) report.changed = true;
    }
    return report;
}

}  // namespace qv::qvteam
