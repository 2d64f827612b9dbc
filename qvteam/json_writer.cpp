#include "json_writer.h"

#include <nlohmann/json.hpp>

#include "team_modes.h"

namespace qv::qvteam {
namespace {

using Json = nlohmann::ordered_json;

Json OrNull(const std::optional<std::string>& text) {
    return text ? Json(*text) : Json(nullptr);
}

// Text that came from the machine may hold anything; invalid UTF-8 never reaches the output.
std::string Dump(const Json& document) {
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json AdapterRef(const MachineState& state, const std::string& guid) {
    const Adapter* adapter = state.FindAdapter(guid);
    return Json{{"guid", guid},
                {"connectionName", adapter != nullptr ? Json(adapter->connectionName) : Json(nullptr)}};
}

Json ShowAdapter(const Adapter& adapter) {
    return Json{{"connectionName", adapter.connectionName},
                {"description", adapter.description},
                {"guid", adapter.guid},
                {"permanentMac", OrNull(adapter.permanentMac)},
                {"present", adapter.present},
                {"enabled", adapter.enabled ? Json(*adapter.enabled) : Json(nullptr)},
                {"hidden", adapter.hidden},
                {"protocols", adapter.protocols},
                {"team", OrNull(adapter.teamGuid)}};
}

Json ShowTeam(const MachineState& state, const Team& team) {
    Json members = Json::array();
    for (const std::string& guid : team.memberGuids) members.push_back(AdapterRef(state, guid));
    Json vlans = Json::array();
    for (const Vlan& vlan : state.vlans) {
        if (vlan.parentGuid == team.guid) vlans.push_back(vlan.guid);
    }
    return Json{{"name", team.name},
                {"connectionName", team.connectionName},
                {"guid", team.guid},
                {"address", OrNull(team.address)},
                {"mode", ModeWord(team.teamMode)},
                {"members", std::move(members)},
                {"vlans", std::move(vlans)}};
}

Json ShowVlan(const Vlan& vlan) {
    return Json{{"guid", vlan.guid},         {"connectionName", vlan.connectionName},
                {"name", vlan.name},         {"id", vlan.id},
                {"parent", vlan.parentGuid}, {"parentKind", vlan.parentIsTeam ? "team" : "adapter"}};
}

// An adapter as a document names it. An adapter that does not report the chosen fact is named by
// its connection name, one without that by its GUID.
Json AdapterSelector(const MachineState& state, const std::string& guid, AdapterNaming naming) {
    const Adapter* adapter = state.FindAdapter(guid);
    if (adapter == nullptr) return Json{{"guid", guid}};
    if (naming == AdapterNaming::kPermanentMac && adapter->permanentMac) {
        return Json{{"permanentMac", *adapter->permanentMac}};
    }
    if (naming == AdapterNaming::kDescription && !adapter->description.empty()) {
        return Json{{"description", adapter->description}};
    }
    if (!adapter->connectionName.empty()) return Json{{"connectionName", adapter->connectionName}};
    return Json{{"guid", guid}};
}

Json DesiredVlans(const MachineState& state, const std::string& parentGuid) {
    Json vlans = Json::array();
    for (const Vlan& vlan : state.vlans) {
        if (vlan.parentGuid == parentGuid) vlans.push_back(Json{{"name", vlan.name}, {"id", vlan.id}});
    }
    return vlans;
}

}  // namespace

std::string ShowJson(const MachineState& state) {
    Json adapters = Json::array();
    for (const Adapter& adapter : state.adapters) adapters.push_back(ShowAdapter(adapter));
    Json teams = Json::array();
    for (const Team& team : state.teams) teams.push_back(ShowTeam(state, team));
    Json vlans = Json::array();
    for (const Vlan& vlan : state.vlans) vlans.push_back(ShowVlan(vlan));
    return Dump(Json{{"schema", "qvteam-show"},
                     {"version", kShowSchemaVersion},
                     {"adapters", std::move(adapters)},
                     {"teams", std::move(teams)},
                     {"vlans", std::move(vlans)}});
}

std::string ExportJson(const MachineState& state, AdapterNaming naming, std::vector<std::string>* skipped) {
    Json teams = Json::array();
    for (const Team& team : state.teams) {
        if (!ModeFromWord(ModeWord(team.teamMode))) {
            if (skipped != nullptr) skipped->push_back(team.name);
            continue;
        }
        Json members = Json::array();
        for (const std::string& guid : team.memberGuids)
            members.push_back(AdapterSelector(state, guid, naming));
        teams.push_back(Json{{"name", team.name},
                             {"mode", ModeWord(team.teamMode)},
                             {"members", std::move(members)},
                             {"vlans", DesiredVlans(state, team.guid)}});
    }
    Json vlans = Json::array();
    for (const Adapter& adapter : state.adapters) {
        Json over = DesiredVlans(state, adapter.guid);
        if (!over.empty()) {
            vlans.push_back(
                Json{{"adapter", AdapterSelector(state, adapter.guid, naming)}, {"vlans", std::move(over)}});
        }
    }
    return Dump(Json{{"schema", "qvteam-state"},
                     {"version", kStateSchemaVersion},
                     {"teams", std::move(teams)},
                     {"adapterVlans", std::move(vlans)}});
}

}  // namespace qv::qvteam
