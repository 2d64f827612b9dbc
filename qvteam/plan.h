// The steps that bring a machine to a desired-state document, in a safe order: VLANs go first,
// then the teams that change or go, then the new teams, then the new VLANs. Each step is one run
// of QvTeamCmd's own flows, so a team or VLAN made here is made exactly as QvTeamCmd makes it. The document
// describes every team and VLAN of the machine: what it does not list goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document.h"
#include "machine_state.h"

namespace qv::qvteam {

enum class StepKind { kRemoveVlan, kRemoveTeam, kCreateTeam, kAddVlan };

struct Step {
    StepKind kind = StepKind::kAddVlan;
    // The team the step makes or removes, or over which a VLAN is added or removed (its name);
    // empty for a VLAN over an adapter. teamGuid is the team's adapter when the machine has it.
    std::string team;
    std::string teamGuid;
    // A VLAN's adapter (its GUID and connection name); empty for a VLAN over a team.
    std::string adapterGuid;
    std::string adapterName;
    // The team's mode and members by preference (GUIDs and connection names): of the team a create
    // makes, or of the team a removal takes away (so that the removal can be undone).
    int32_t teamMode = 0;
    std::vector<std::string> memberGuids;
    std::vector<std::string> memberNames;
    // The VLAN; vlanGuid names the VLAN adapter a removal takes away.
    std::string vlanName;
    uint32_t vlanId = 0;
    std::string vlanGuid;
};

// Resolves the document's adapters on the machine and lists the steps; false with *fault set when
// the document cannot be brought about (an unknown adapter, one adapter named twice, an adapter
// that teams cannot use, a name the teaming commands cannot take).
bool MakePlan(const Document& document, const MachineState& state, std::vector<Step>* steps,
              DocumentFault* fault);

// What a step does, for people: "create team "Team0" (active-backup) of "A", "B"".
std::string StepText(const Step& step);

// The QvTeamCmd arguments that run the step on the machine as it is now (teams and VLANs are
// named by their connection names where they have one, which are unique); none when the team or
// VLAN the step acts on is not there.
std::optional<std::vector<std::string>> CommandFor(const Step& step, const MachineState& now);

// Whether the machine shows the step's effect.
bool StepTookEffect(const Step& step, const MachineState& after);

// The step that undoes a step that took effect, from the machine as read just after it.
Step UndoStep(const Step& step, const MachineState& after);

}  // namespace qv::qvteam
