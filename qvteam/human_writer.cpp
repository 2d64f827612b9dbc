#include "human_writer.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "printable.h"
#include "team_modes.h"

namespace qv::qvteam {
namespace {

constexpr std::string_view kNone = "(none)";

class Text {
  public:
    void Heading(std::string_view heading) { out_ += std::string(heading) + ":\n"; }
    void Item(size_t number, std::string_view title) {
        out_ += "  " + std::to_string(number) + ". " + Printable(title) + "\n";
    }
    // "       Label:        value", the values in one column.
    void Fact(std::string_view label, std::string_view value) {
        std::string line = "       " + std::string(label) + ":";
        line.resize(std::max<size_t>(line.size() + 1, 22), ' ');
        out_ += line + Printable(value.empty() ? kNone : value) + "\n";
    }
    void None() { out_ += "  " + std::string(kNone) + "\n"; }
    std::string Take() { return std::move(out_); }

  private:
    std::string out_;
};

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// An adapter or team by the name a person knows it by.
std::string NameOf(const MachineState& state, const std::string& guid) {
    if (const Adapter* adapter = state.FindAdapter(guid)) {
        return adapter->connectionName.empty() ? guid : adapter->connectionName;
    }
    if (const Team* team = state.FindTeam(guid)) return team->name;
    return guid;
}

std::string StateOf(const Adapter& adapter) {
    return std::string(adapter.present ? "present" : "not present") + ", " +
           (!adapter.enabled   ? "enabled unknown"
            : *adapter.enabled ? "enabled"
                               : "disabled") +
           ", " + (adapter.hidden ? "hidden" : "shown");
}

void Adapters(const MachineState& state, Text* text) {
    text->Heading("Adapters");
    if (state.adapters.empty()) text->None();
    for (size_t i = 0; i < state.adapters.size(); ++i) {
        const Adapter& adapter = state.adapters[i];
        text->Item(i + 1, adapter.connectionName.empty() ? adapter.guid : adapter.connectionName);
        text->Fact("Description", adapter.description);
        text->Fact("GUID", adapter.guid);
        text->Fact("MAC address", adapter.permanentMac.value_or(""));
        text->Fact("State", StateOf(adapter));
        text->Fact("Protocols", Joined(adapter.protocols));
        text->Fact("Team", adapter.teamGuid ? NameOf(state, *adapter.teamGuid) : "");
    }
}

void Teams(const MachineState& state, Text* text) {
    text->Heading("Teams");
    if (state.teams.empty()) text->None();
    for (size_t i = 0; i < state.teams.size(); ++i) {
        const Team& team = state.teams[i];
        text->Item(i + 1, team.name + " (" + team.connectionName + ")");
        text->Fact("Mode", ModeText(team.teamMode));
        text->Fact("GUID", team.guid);
        text->Fact("MAC address", team.address.value_or(""));
        std::vector<std::string> members;
        for (const std::string& guid : team.memberGuids) members.push_back(NameOf(state, guid));
        text->Fact("Members", Joined(members));
        std::vector<std::string> vlans;
        for (const Vlan& vlan : state.vlans) {
            if (vlan.parentGuid == team.guid) vlans.push_back(vlan.connectionName);
        }
        text->Fact("VLANs", Joined(vlans));
    }
}

void Vlans(const MachineState& state, Text* text) {
    text->Heading("VLANs");
    if (state.vlans.empty()) text->None();
    for (size_t i = 0; i < state.vlans.size(); ++i) {
        const Vlan& vlan = state.vlans[i];
        text->Item(i + 1, vlan.connectionName.empty() ? vlan.guid : vlan.connectionName);
        text->Fact("Name", vlan.name);
        text->Fact("ID", std::to_string(vlan.id));
        text->Fact("GUID", vlan.guid);
        text->Fact("Over", NameOf(state, vlan.parentGuid) + (vlan.parentIsTeam ? " (team)" : " (adapter)"));
    }
}

}  // namespace

std::string ShowText(const MachineState& state) {
    Text text;
    Adapters(state, &text);
    Teams(state, &text);
    Vlans(state, &text);
    return text.Take();
}

}  // namespace qv::qvteam
