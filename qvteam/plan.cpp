#include "plan.h"

#include <algorithm>
#include <map>

#include "printable.h"
#include "qv/platform/utf.h"
#include "qv/teamlib/text.h"
#include "team_modes.h"

namespace qv::qvteam {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return U16EqualNoCase(FromUtf8(a), FromUtf8(b));
}

// QvTeamCmd reads a word that starts with '-' or '/' as an option, and a lone digit 1 to 4 among
// the members of a create as the team mode.
bool CommandCanTake(const std::string& name, bool member) {
    if (name.empty() || name[0] == '-' || name[0] == '/') return false;
    return !(member && name.size() == 1 && name[0] >= '1' && name[0] <= '4');
}

std::string Quoted(const std::string& text) {
    return "\"" + Printable(text) + "\"";
}

std::string ModeNumber(int32_t teamMode) {
    static constexpr std::string_view kWords[] = {"active-backup", "tlb", "lacp", "active-backup-failback"};
    const auto* word = std::find(std::begin(kWords), std::end(kWords), ModeWord(teamMode));
    return std::to_string(word - std::begin(kWords) + 1);
}

bool Matches(const Adapter& adapter, const AdapterSelector& selector) {
    switch (selector.key) {
        case AdapterKey::kConnectionName:
            return !adapter.connectionName.empty() && SameName(adapter.connectionName, selector.value);
        case AdapterKey::kPermanentMac:
            return adapter.permanentMac && *adapter.permanentMac == selector.value;
        case AdapterKey::kDescription:
            return !adapter.description.empty() && SameName(adapter.description, selector.value);
        case AdapterKey::kGuid:
            return SameName(adapter.guid, selector.value);
    }
    return false;
}

// The name a team removal or a VLAN add gives a team: its connection name, else its name.
std::string TeamArgument(const Team& team) {
    return team.connectionName.empty() ? team.name : team.connectionName;
}

class Planner {
  public:
    Planner(const MachineState& state, DocumentFault* fault) : state_(state), fault_(fault) {}

    bool Run(const Document& document, std::vector<Step>* steps) {
        std::vector<std::vector<const Adapter*>> members(document.teams.size());
        for (size_t t = 0; t < document.teams.size(); ++t) {
            const DesiredTeam& team = document.teams[t];
            if (!CommandCanTake(team.name, false))
                return Fail(team.pointer + "/name", "QvTeamCmd cannot take this name");
            for (const AdapterSelector& selector : team.members) {
                const Adapter* adapter = Resolve(selector);
                if (adapter == nullptr) return false;
                members[t].push_back(adapter);
            }
        }
        std::vector<const Adapter*> carriers;
        for (const DesiredAdapterVlans& entry : document.adapterVlans) {
            const Adapter* adapter = Resolve(entry.adapter);
            if (adapter == nullptr) return false;
            carriers.push_back(adapter);
        }
        if (!CheckVlanNames(document)) return false;

        // Teams that stay: same name, mode and members in the same order.
        std::vector<const Team*> kept(document.teams.size(), nullptr);
        for (size_t t = 0; t < document.teams.size(); ++t) {
            for (const Team& team : state_.teams) {
                if (SameName(team.name, document.teams[t].name) &&
                    team.teamMode == document.teams[t].teamMode && team.memberGuids == Guids(members[t])) {
                    kept[t] = &team;
                }
            }
        }
        // VLANs first: every VLAN that no kept parent keeps under its name and id.
        for (const Vlan& vlan : state_.vlans) {
            if (!KeepsVlan(document, kept, carriers, vlan) && !RemoveVlan(vlan, steps)) return false;
        }
        for (const Team& team : state_.teams) {
            if (std::find(kept.begin(), kept.end(), &team) == kept.end() && !RemoveTeam(team, steps))
                return false;
        }
        for (size_t t = 0; t < document.teams.size(); ++t) {
            if (kept[t] == nullptr) CreateTeam(document.teams[t], members[t], steps);
        }
        for (size_t t = 0; t < document.teams.size(); ++t) {
            for (const DesiredVlan& vlan : document.teams[t].vlans) {
                if (kept[t] == nullptr || !HasVlan(kept[t]->guid, vlan)) {
                    AddVlan(kept[t], document.teams[t].name, nullptr, vlan, steps);
                }
            }
        }
        for (size_t a = 0; a < carriers.size(); ++a) {
            for (const DesiredVlan& vlan : document.adapterVlans[a].vlans) {
                if (!HasVlan(carriers[a]->guid, vlan)) AddVlan(nullptr, "", carriers[a], vlan, steps);
            }
        }
        return true;
    }

  private:
    bool Fail(std::string pointer, std::string message) {
        *fault_ = DocumentFault{std::move(pointer), std::move(message)};
        return false;
    }

    static std::vector<std::string> Guids(const std::vector<const Adapter*>& adapters) {
        std::vector<std::string> guids;
        for (const Adapter* adapter : adapters) guids.push_back(adapter->guid);
        return guids;
    }

    // The one adapter a selector names, fit to be a team member or a VLAN's parent and named once
    // in the document.
    const Adapter* Resolve(const AdapterSelector& selector) {
        std::vector<const Adapter*> found;
        for (const Adapter& adapter : state_.adapters) {
            if (Matches(adapter, selector)) found.push_back(&adapter);
        }
        const std::string key(AdapterKeyName(selector.key));
        if (found.empty()) return Fail(selector.pointer, "no adapter has this " + key), nullptr;
        if (found.size() > 1) {
            return Fail(selector.pointer, std::to_string(found.size()) + " adapters have this " + key +
                                              ": name the adapter by another fact"),
                   nullptr;
        }
        const Adapter& adapter = *found[0];
        if (!adapter.teamable)
            return Fail(selector.pointer, "teams and VLANs cannot use this adapter"), nullptr;
        if (!adapter.present) return Fail(selector.pointer, "the adapter is not present"), nullptr;
        if (adapter.connectionName.empty() || !CommandCanTake(adapter.connectionName, true)) {
            return Fail(selector.pointer, "QvTeamCmd cannot name this adapter by its connection name \"" +
                                              adapter.connectionName + "\""),
                   nullptr;
        }
        const auto [first, inserted] = used_.emplace(adapter.guid, selector.pointer);
        if (!inserted) return Fail(selector.pointer, "names the same adapter as " + first->second), nullptr;
        return &adapter;
    }

    bool CheckVlanNames(const Document& document) {
        const auto check = [&](const std::vector<DesiredVlan>& vlans) {
            for (const DesiredVlan& vlan : vlans) {
                if (!CommandCanTake(vlan.name, false))
                    return Fail(vlan.pointer + "/name", "QvTeamCmd cannot take this name");
            }
            return true;
        };
        for (const DesiredTeam& team : document.teams) {
            if (!check(team.vlans)) return false;
        }
        for (const DesiredAdapterVlans& entry : document.adapterVlans) {
            if (!check(entry.vlans)) return false;
        }
        return true;
    }

    bool HasVlan(const std::string& parentGuid, const DesiredVlan& wanted) const {
        return std::any_of(state_.vlans.begin(), state_.vlans.end(), [&](const Vlan& vlan) {
            return vlan.parentGuid == parentGuid && vlan.id == wanted.id && SameName(vlan.name, wanted.name);
        });
    }

    // Whether a VLAN stays: its parent is a kept team or an adapter that carries VLANs in the
    // document, and the document lists it there under the same name and id.
    bool KeepsVlan(const Document& document, const std::vector<const Team*>& kept,
                   const std::vector<const Adapter*>& carriers, const Vlan& vlan) const {
        const auto listed = [&](const std::vector<DesiredVlan>& vlans) {
            return std::any_of(vlans.begin(), vlans.end(), [&](const DesiredVlan& wanted) {
                return vlan.id == wanted.id && SameName(vlan.name, wanted.name);
            });
        };
        for (size_t t = 0; t < kept.size(); ++t) {
            if (kept[t] != nullptr && kept[t]->guid == vlan.parentGuid)
                return listed(document.teams[t].vlans);
        }
        for (size_t a = 0; a < carriers.size(); ++a) {
            if (carriers[a]->guid == vlan.parentGuid) return listed(document.adapterVlans[a].vlans);
        }
        return false;
    }

    // The teaming commands remove a VLAN by its connection name.
    bool RemoveVlan(const Vlan& vlan, std::vector<Step>* steps) {
        if (vlan.connectionName.empty() || !CommandCanTake(vlan.connectionName, false)) {
            return Fail("", "the VLAN \"" + vlan.name +
                                "\" must go, but QvTeamCmd cannot name it by its connection name \"" +
                                vlan.connectionName + "\"");
        }
        Step step;
        step.kind = StepKind::kRemoveVlan;
        step.vlanName = vlan.name;
        step.vlanId = vlan.id;
        step.vlanGuid = vlan.guid;
        if (vlan.parentIsTeam) {
            const Team* team = state_.FindTeam(vlan.parentGuid);
            step.team = team != nullptr ? team->name : vlan.parentGuid;
            step.teamGuid = vlan.parentGuid;
        } else {
            const Adapter* adapter = state_.FindAdapter(vlan.parentGuid);
            step.adapterGuid = vlan.parentGuid;
            step.adapterName = adapter != nullptr ? adapter->connectionName : "";
        }
        steps->push_back(std::move(step));
        return true;
    }

    bool RemoveTeam(const Team& team, std::vector<Step>* steps) {
        const std::string name = TeamArgument(team);
        if (!CommandCanTake(name, false) || FromUtf8(name).size() > kMaxTeamNameUnits) {
            return Fail("", "the team \"" + team.name + "\" must go, but QvTeamCmd cannot take its name");
        }
        Step step;
        step.kind = StepKind::kRemoveTeam;
        step.team = team.name;
        step.teamGuid = team.guid;
        step.teamMode = team.teamMode;
        step.memberGuids = team.memberGuids;
        for (const std::string& guid : team.memberGuids) {
            const Adapter* adapter = state_.FindAdapter(guid);
            step.memberNames.push_back(adapter != nullptr ? adapter->connectionName : guid);
        }
        steps->push_back(std::move(step));
        return true;
    }

    static void CreateTeam(const DesiredTeam& team, const std::vector<const Adapter*>& members,
                           std::vector<Step>* steps) {
        Step step;
        step.kind = StepKind::kCreateTeam;
        step.team = team.name;
        step.teamMode = team.teamMode;
        step.memberGuids = Guids(members);
        for (const Adapter* adapter : members) step.memberNames.push_back(adapter->connectionName);
        steps->push_back(std::move(step));
    }

    static void AddVlan(const Team* kept, const std::string& team, const Adapter* adapter,
                        const DesiredVlan& vlan, std::vector<Step>* steps) {
        Step step;
        step.kind = StepKind::kAddVlan;
        step.team = team;
        if (kept != nullptr) step.teamGuid = kept->guid;
        if (adapter != nullptr) {
            step.adapterGuid = adapter->guid;
            step.adapterName = adapter->connectionName;
        }
        step.vlanName = vlan.name;
        step.vlanId = vlan.id;
        steps->push_back(std::move(step));
    }

    const MachineState& state_;
    DocumentFault* fault_;
    std::map<std::string, std::string> used_;  // adapter GUID -> the pointer that named it first
};

std::string Parent(const Step& step) {
    return step.team.empty() ? "adapter " + Quoted(step.adapterName) : "team " + Quoted(step.team);
}

// The team a step acts on: the one it knows by GUID while the machine has it, else the one of its name.
const Team* TeamOf(const Step& step, const MachineState& state) {
    if (const Team* known = state.FindTeam(step.teamGuid)) return known;
    for (const Team& team : state.teams) {
        if (SameName(team.name, step.team)) return &team;
    }
    return nullptr;
}

const Vlan* VlanOf(const Step& step, const MachineState& state) {
    std::string parent = step.adapterGuid;
    if (!step.team.empty()) {
        const Team* team = TeamOf(step, state);
        if (team == nullptr) return nullptr;
        parent = team->guid;
    }
    for (const Vlan& vlan : state.vlans) {
        if (vlan.parentGuid == parent && vlan.id == step.vlanId && SameName(vlan.name, step.vlanName)) {
            return &vlan;
        }
    }
    return nullptr;
}

}  // namespace

bool MakePlan(const Document& document, const MachineState& state, std::vector<Step>* steps,
              DocumentFault* fault) {
    steps->clear();
    Planner planner(state, fault);
    if (planner.Run(document, steps)) return true;
    steps->clear();
    return false;
}

std::string StepText(const Step& step) {
    switch (step.kind) {
        case StepKind::kRemoveVlan:
            return "remove VLAN " + Quoted(step.vlanName) + " (id " + std::to_string(step.vlanId) +
                   ") over " + Parent(step);
        case StepKind::kAddVlan:
            return "add VLAN " + Quoted(step.vlanName) + " (id " + std::to_string(step.vlanId) + ") over " +
                   Parent(step);
        case StepKind::kRemoveTeam:
        case StepKind::kCreateTeam: {
            std::string text = (step.kind == StepKind::kCreateTeam ? "create team " : "remove team ") +
                               Quoted(step.team) + " (" + std::string(ModeWord(step.teamMode)) + ") of ";
            for (size_t i = 0; i < step.memberNames.size(); ++i) {
                text += (i == 0 ? "" : ", ") + Quoted(step.memberNames[i]);
            }
            return text;
        }
    }
    return {};
}

std::optional<std::vector<std::string>> CommandFor(const Step& step, const MachineState& now) {
    const Team* team = step.team.empty() ? nullptr : TeamOf(step, now);
    switch (step.kind) {
        case StepKind::kRemoveVlan: {
            const auto vlan = std::find_if(now.vlans.begin(), now.vlans.end(),
                                           [&](const Vlan& v) { return v.guid == step.vlanGuid; });
            if (vlan == now.vlans.end()) return std::nullopt;
            return std::vector<std::string>{"-d", vlan->connectionName};
        }
        case StepKind::kRemoveTeam:
            if (team == nullptr) return std::nullopt;
            return std::vector<std::string>{"-r", TeamArgument(*team)};
        case StepKind::kCreateTeam: {
            std::vector<std::string> command = {"-n", step.team, "-c"};
            command.insert(command.end(), step.memberNames.begin(), step.memberNames.end());
            command.push_back(ModeNumber(step.teamMode));
            return command;
        }
        case StepKind::kAddVlan:
            if (!step.team.empty() && team == nullptr) return std::nullopt;
            return std::vector<std::string>{"-a", team != nullptr ? TeamArgument(*team) : step.adapterName,
                                            step.vlanName, std::to_string(step.vlanId)};
    }
    return std::nullopt;
}

bool StepTookEffect(const Step& step, const MachineState& after) {
    switch (step.kind) {
        case StepKind::kRemoveVlan:
            return std::none_of(after.vlans.begin(), after.vlans.end(),
                                [&](const Vlan& vlan) { return vlan.guid == step.vlanGuid; });
        case StepKind::kAddVlan:
            return VlanOf(step, after) != nullptr;
        case StepKind::kRemoveTeam:
            return TeamOf(step, after) == nullptr;
        case StepKind::kCreateTeam: {
            const Team* team = TeamOf(step, after);
            return team != nullptr && team->teamMode == step.teamMode &&
                   team->memberGuids == step.memberGuids;
        }
    }
    return false;
}

Step UndoStep(const Step& step, const MachineState& after) {
    Step undo = step;
    switch (step.kind) {
        case StepKind::kRemoveVlan:
            undo.kind = StepKind::kAddVlan;
            undo.vlanGuid.clear();
            break;
        case StepKind::kAddVlan:
            undo.kind = StepKind::kRemoveVlan;
            if (const Vlan* vlan = VlanOf(step, after)) undo.vlanGuid = vlan->guid;
            break;
        case StepKind::kRemoveTeam:
            // The team made again is a new adapter: it is found by its name from then on.
            undo.kind = StepKind::kCreateTeam;
            undo.teamGuid.clear();
            break;
        case StepKind::kCreateTeam:
            undo.kind = StepKind::kRemoveTeam;
            if (const Team* team = TeamOf(step, after)) undo.teamGuid = team->guid;
            break;
    }
    return undo;
}

}  // namespace qv::qvteam
