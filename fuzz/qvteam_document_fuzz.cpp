// Fuzz target for qvteam's desired-state reader and planner: arbitrary bytes as the document, read
// and, when accepted, planned against a fixed machine of four ports with one team and two VLANs.
// Beyond the sanitizers, an accepted document must hold the reader's promises and a refusal must
// name a JSON pointer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "document.h"
#include "plan.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

qv::qvteam::MachineState FixedMachine() {
    qv::qvteam::MachineState state;
    for (int i = 1; i <= 4; ++i) {
        qv::qvteam::Adapter adapter;
        adapter.guid = "{5A5A0005-0000-4000-8000-00000000000" + std::to_string(i) + "}";
        adapter.connectionName = i == 1 ? "Local Area Connection" : "Local Area Connection " + std::to_string(i);
        adapter.description = "Quorvex n5 Gigabit Server Adapter #" + std::to_string(i);
        adapter.permanentMac = "02-5A-5A-00-00-0" + std::to_string(i);
        adapter.present = true;
        adapter.teamable = true;
        state.adapters.push_back(adapter);
    }
    qv::qvteam::Team team;
    team.guid = "{11111111-0000-4000-8000-000000000001}";
    team.name = "Team0";
    team.connectionName = "Local Area Connection 6";
    team.teamMode = 1;
    team.memberGuids = {state.adapters[1].guid, state.adapters[0].guid};
    state.adapters[0].teamGuid = state.adapters[1].teamGuid = team.guid;
    state.teams.push_back(team);
    state.vlans.push_back({"{22222222-0000-4000-8000-000000000001}", "Local Area Connection 7", "Ten", 10,
                           team.guid, true});
    state.vlans.push_back({"{22222222-0000-4000-8000-000000000002}", "Local Area Connection 8", "Thirty", 30,
                           state.adapters[2].guid, false});
    return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const qv::qvteam::MachineState machine = FixedMachine();
    qv::qvteam::DocumentFault fault;
    const auto document = qv::qvteam::ReadDocument(
        std::string_view(reinterpret_cast<const char*>(data), size), &fault);
    if (!document) {
        Check(fault.pointer.empty() || fault.pointer[0] == '/');
        Check(!fault.message.empty());
        return 0;
    }
    Check(document->teams.size() <= qv::qvteam::kMaxDocumentTeams);
    for (const auto& team : document->teams) {
        Check(team.members.size() >= qv::qvteam::kMinTeamMembers &&
              team.members.size() <= qv::qvteam::kMaxTeamMembersInDocument);
        Check(team.vlans.size() <= qv::qvteam::kMaxVlansPerParent && !team.name.empty());
        for (const auto& vlan : team.vlans) Check(vlan.id >= 1 && vlan.id <= qv::qvteam::kMaxVlanId);
    }
    std::vector<qv::qvteam::Step> steps;
    if (!qv::qvteam::MakePlan(*document, machine, &steps, &fault)) {
        Check(steps.empty() && !fault.message.empty());
        return 0;
    }
    for (const auto& step : steps) (void)qv::qvteam::StepText(step);
    return 0;
}
