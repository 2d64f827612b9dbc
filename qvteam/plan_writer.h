// What plan and apply print: for people, and as JSON (`plan --json`, `apply --json`; the apply
// document is what the Ansible role reads: {"changed": ..., "failed": ..., "steps": [...]}).
#pragma once

#include <string>
#include <vector>

#include "apply.h"
#include "document.h"
#include "plan.h"

namespace qv::qvteam {

std::string PlanText(const std::vector<Step>& steps);
std::string PlanJson(const std::vector<Step>& steps);

std::string ApplyText(const ApplyReport& report);
std::string ApplyJson(const ApplyReport& report);

// A refused document as apply --json and plan --json print it: nothing ran, nothing changed.
std::string RefusalJson(const DocumentFault& fault);

}  // namespace qv::qvteam
