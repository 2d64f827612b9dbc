// Runs a plan's steps on the machine, each as one in-process run of QvTeamCmd's own flows, and
// checks after each by reading the machine again that it took effect (QvTeamCmd's exit statuses
// do not tell every failure). When a step fails, the steps of this run that took effect are undone
// in reverse order, so the machine is left as it was found.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plan.h"

namespace qv::qvteam {

// Runs QvTeamCmd with args (after the program name); returns its exit status and appends what it
// printed to *output.
using CommandRunner = std::function<uint32_t(const std::vector<std::string>& args, std::string* output)>;

// The runner of the product: QvTeamCmd's whole run in this process, its console output captured.
uint32_t RunQvTeamCmdInProcess(const std::vector<std::string>& args, std::string* output);

enum class StepResult { kDone, kFailed, kUndone, kUndoFailed, kNotRun };

struct StepReport {
    Step step;
    StepResult result = StepResult::kNotRun;
    std::vector<std::string> command;  // the QvTeamCmd arguments it ran with; empty when not run
    std::string why;                   // a failure: what QvTeamCmd said, or what was found
};

struct ApplyReport {
    bool changed = false;  // the machine differs from before (a failure that was undone: false)
    bool failed = false;
    std::vector<StepReport> steps;  // the plan's steps, each with what became of it
};

// Runs the steps. runner is QvTeamCmd's (tests put one in front of it to make a step fail).
ApplyReport ApplySteps(const std::vector<Step>& steps, const CommandRunner& runner = RunQvTeamCmdInProcess);

// The words of a result in reports ("done", "failed", "undone", "undo failed", "not run").
std::string_view ResultWord(StepResult result);

}  // namespace qv::qvteam
