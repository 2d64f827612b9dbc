#include "plan_writer.h"

#include <nlohmann/json.hpp>

#include "team_modes.h"

namespace qv::qvteam {
namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& document) {
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string_view ActionWord(StepKind kind) {
    switch (kind) {
        case StepKind::kRemoveVlan:
            return "remove-vlan";
        case StepKind::kRemoveTeam:
            return "remove-team";
        case StepKind::kCreateTeam:
            return "create-team";
        case StepKind::kAddVlan:
            return "add-vlan";
    }
    return "";
}

Json StepJson(const Step& step) {
    const bool teamStep = step.kind == StepKind::kCreateTeam || step.kind == StepKind::kRemoveTeam;
    Json json{{"action", ActionWord(step.kind)},
              {"team", step.team.empty() ? Json(nullptr) : Json(step.team)},
              {"adapter", step.adapterName.empty() ? Json(nullptr) : Json(step.adapterName)}};
    if (teamStep) {
        json["mode"] = ModeWord(step.teamMode);
        json["members"] = step.memberNames;
    } else {
        json["vlan"] = Json{{"name", step.vlanName}, {"id", step.vlanId}};
    }
    return json;
}

std::string Count(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string PlanText(const std::vector<Step>& steps) {
    if (steps.empty()) return "No changes: the machine is as the document describes it.\n";
    std::string text = Count(steps.size(), "change", "changes") + " to make:\n";
    for (size_t i = 0; i < steps.size(); ++i) {
        text += "  " + std::to_string(i + 1) + ". " + StepText(steps[i]) + "\n";
    }
    return text;
}

std::string PlanJson(const std::vector<Step>& steps) {
    Json list = Json::array();
    for (const Step& step : steps) list.push_back(StepJson(step));
    return Dump(Json{{"changed", !steps.empty()}, {"failed", false}, {"steps", std::move(list)}});
}

std::string ApplyText(const ApplyReport& report) {
    if (report.steps.empty()) return "No changes: the machine is as the document describes it.\n";
    std::string text;
    for (size_t i = 0; i < report.steps.size(); ++i) {
        const StepReport& step = report.steps[i];
        text += "  " + std::to_string(i + 1) + ". " + StepText(step.step) + ": " +
                std::string(ResultWord(step.result)) + (step.why.empty() ? "" : " (" + step.why + ")") + "\n";
    }
    if (!report.failed) return text + "Applied: " + Count(report.steps.size(), "change", "changes") + ".\n";
    return text + (report.changed ? "Failed, and the machine is not as it was: see the steps above.\n"
                                  : "Failed: the machine is as it was.\n");
}

std::string ApplyJson(const ApplyReport& report) {
    Json list = Json::array();
    for (const StepReport& step : report.steps) {
        Json json = StepJson(step.step);
        json["result"] = ResultWord(step.result);
        json["why"] = step.why.empty() ? Json(nullptr) : Json(step.why);
        json["command"] = step.command;
        list.push_back(std::move(json));
    }
    return Dump(Json{{"changed", report.changed}, {"failed", report.failed}, {"steps", std::move(list)}});
}

std::string RefusalJson(const DocumentFault& fault) {
    return Dump(Json{{"changed", false},
                     {"failed", true},
                     {"error", Json{{"pointer", fault.pointer}, {"message", fault.message}}},
                     {"steps", Json::array()}});
}

}  // namespace qv::qvteam
