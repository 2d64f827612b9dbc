#include "machine_state.h"

#include <algorithm>
#include <memory>
#include <set>

#include "adapter_facts.h"
#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/platform/utf.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::qvteam {
namespace {

// The longest device description read (a description is a few dozen characters; a longer one
// reads as empty).
constexpr uint32_t kDescriptionUnits = 512;

std::string GuidText(const Guid& guid) {
    return ToUtf8(GuidToString(guid));
}

std::optional<uint32_t> ReadDword(HKey key, const char16_t* name) {
    uint32_t value = 0;
    uint32_t size = sizeof value;
    uint32_t type = 0;
    if (reg::QueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(&value), &size) != kErrorSuccess ||
        type != kRegDword || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

std::string DeviceText(HDevInfo set, DevInfoData* device, uint32_t property) {
    char16_t buffer[kDescriptionUnits + 1] = {};
    uint32_t type = 0;
    if (!dev::GetDeviceRegistryProperty(set, device, property, &type, reinterpret_cast<uint8_t*>(buffer),
                                        kDescriptionUnits * sizeof(char16_t), nullptr)) {
        return {};
    }
    return ToUtf8(buffer);
}

// Whether the device runs without being disabled; none when it is not present (its node has no
// status then).
std::optional<bool> DeviceEnabled(const DevInfoData& device) {
    uint32_t status = 0;
    uint32_t problem = 0;
    if (dev::GetDevNodeStatus(&status, &problem, device.devInst, 0) != kCrSuccess) return std::nullopt;
    return (status & dev::kDnHasProblem) == 0 || problem != dev::kCmProbDisabled;
}

std::string ConnectionNameOf(const Guid& guid) {
    char16_t name[kAdapterNameCapacity] = {};
    ReadConnectionName(GuidToString(guid).c_str(), name, kAdapterNameCapacity);
    return ToUtf8(name);
}

// Calls visit for every physical network adapter the device set holds, with its open driver key.
template <typename Visit>
bool ForEachPhysicalDevice(uint32_t flags, Visit visit) {
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, flags));
    if (!set.valid()) return false;
    DevInfoData device{};
    device.cbSize = sizeof device;
    for (uint32_t index = 0; dev::EnumDeviceInfo(set.get(), index, &device); ++index) {
        if (!IsPhysicalNIC(device)) continue;
        ScopedKey key(dev::OpenDevRegKey(set.get(), &device, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead));
        if (!key.valid()) continue;
        OwnedU16 id;
        Guid guid{};
        if (!ReadStringFromRegistry(key.get(), u"NetCfgInstanceId", &id) ||
            !GuidFromString(id.get(), &guid)) {
            continue;
        }
        visit(set.get(), &device, key.get(), guid);
    }
    return true;
}

bool ReadAdapters(MachineState* state) {
    std::set<std::string> present;
    if (!ForEachPhysicalDevice(kDigcfPresent, [&](HDevInfo, DevInfoData*, HKey, const Guid& guid) {
            present.insert(GuidText(guid));
        })) {
        return false;
    }
    const BindingReader bindings;
    return ForEachPhysicalDevice(0, [&](HDevInfo set, DevInfoData* device, HKey key, const Guid& guid) {
        Adapter adapter;
        adapter.guid = GuidText(guid);
        adapter.connectionName = ConnectionNameOf(guid);
        // Windows makes friendly names unique ("... #2"), so one names one adapter.
        adapter.description = DeviceText(set, device, kSpdrpFriendlyName);
        if (adapter.description.empty()) adapter.description = DeviceText(set, device, kSpdrpDeviceDesc);
        adapter.present = present.count(adapter.guid) != 0;
        adapter.enabled = DeviceEnabled(*device);
        adapter.hidden = (ReadDword(key, u"Characteristics").value_or(0) & kNcfHidden) != 0;
        if (adapter.present) {
            adapter.permanentMac = ReadPermanentMac(guid);
            adapter.protocols = bindings.BoundProtocols(guid);
        }
        state->adapters.push_back(std::move(adapter));
    });
}

// The members of a team record by preference; members whose Order names no slot come last.
std::vector<std::string> MembersInOrder(const TeamInfo& team) {
    const int members = std::clamp(team.numNics, 0, kMaxTeamMembers);
    std::vector<int> slots;
    for (int m = 0; m < members; ++m) slots.push_back(m);
    const auto rank = [&](int m) {
        const auto order = static_cast<uint32_t>(team.Order[m]);
        return order < static_cast<uint32_t>(kMaxTeamMembers) ? order : UINT32_MAX;
    };
    std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) { return rank(a) < rank(b); });
    std::vector<std::string> guids;
    for (const int m : slots) guids.push_back(GuidText(team.memberGuids[m]));
    return guids;
}

void ReadTeams(MachineState* state) {
    auto adapters = std::make_unique<AdapterTable>();
    auto table = std::make_unique<TeamTable>();
    table->capacity = kCmdTeamCapacity;
    ClearTeamTable(table.get());
    adapters->count = 0;
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, adapters.get());
    PopulateTeamList(table.get(), *adapters);
    const int count = std::clamp(adapters->count, 0, kAdapterTableCapacity);
    for (int i = 0; i < count; ++i) {
        Team team;
        team.guid = GuidText(adapters->guids[i]);
        team.name = ToUtf8(adapters->displayNames[i]);
        team.connectionName = ToUtf8(adapters->connectionNames[i]);
        team.address = ReadCurrentMac(adapters->guids[i]);
        if (i < kMaxPopulatedTeams && table->teams[i].inUse) {
            team.teamMode = table->teams[i].TeamMode;
            team.memberGuids = MembersInOrder(table->teams[i]);
        }
        state->teams.push_back(std::move(team));
    }
}

// Adds the VLANs of one parent that no parent listed before: each VLAN adapter once.
void AddVlans(const VlanList& list, const std::string& parentGuid, bool parentIsTeam, MachineState* state) {
    const int count = std::min<int>(list.count, kMaxVlans);
    for (int j = 0; j < count; ++j) {
        const std::string guid = GuidText(list.guids[j]);
        if (std::any_of(state->vlans.begin(), state->vlans.end(),
                        [&](const Vlan& v) { return v.guid == guid; })) {
            continue;
        }
        state->vlans.push_back({guid, ToUtf8(list.connectionNames[j]), ToUtf8(list.names[j]), list.ids[j],
                                parentGuid, parentIsTeam});
    }
}

// The adapters the teaming commands offer as free, and the members of teams.
void MarkTeamable(MachineState* state) {
    auto free = std::make_unique<AdapterTable>();
    free->count = 0;
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, free.get());
    std::set<std::string> guids;
    for (int i = 0; i < std::clamp(free->count, 0, kAdapterTableCapacity); ++i) {
        guids.insert(GuidText(free->guids[i]));
    }
    for (Adapter& adapter : state->adapters)
        adapter.teamable = adapter.teamGuid || guids.count(adapter.guid) != 0;
}

// A team's VLANs are recorded on each of its members too: those belong to the team alone.
void ReadVlans(MachineState* state) {
    auto list = std::make_unique<VlanList>();
    for (const Team& team : state->teams) {
        Guid guid{};
        *list = VlanList{};
        if (GuidFromString(FromUtf8(team.guid), &guid) && GetVlanListForTeam(guid, list.get())) {
            AddVlans(*list, team.guid, true, state);
        }
    }
    for (const Adapter& adapter : state->adapters) {
        Guid guid{};
        *list = VlanList{};
        if (adapter.present && !adapter.teamGuid && GuidFromString(FromUtf8(adapter.guid), &guid) &&
            GetVlanListForNic(guid, list.get())) {
            AddVlans(*list, adapter.guid, false, state);
        }
    }
}

}  // namespace

const Adapter* MachineState::FindAdapter(const std::string& guid) const {
    const auto it =
        std::find_if(adapters.begin(), adapters.end(), [&](const Adapter& a) { return a.guid == guid; });
    return it == adapters.end() ? nullptr : &*it;
}

const Team* MachineState::FindTeam(const std::string& guid) const {
    const auto it = std::find_if(teams.begin(), teams.end(), [&](const Team& t) { return t.guid == guid; });
    return it == teams.end() ? nullptr : &*it;
}

bool ReadMachineState(MachineState* state, std::string* error) {
    *state = MachineState{};
    if (!ReadAdapters(state)) {
        *error = "the network adapters cannot be listed";
        return false;
    }
    ReadTeams(state);
    for (const Team& team : state->teams) {
        for (const std::string& member : team.memberGuids) {
            for (Adapter& adapter : state->adapters) {
                if (adapter.guid != member) continue;
                adapter.teamGuid = team.guid;
                // A member's friendly name carries its team's name in front ("Team0:..."), which
                // goes when the team goes: the adapter's own name is the rest.
                const std::string prefix = team.name + ":";
                if (adapter.description.starts_with(prefix)) adapter.description.erase(0, prefix.size());
            }
        }
    }
    MarkTeamable(state);
    ReadVlans(state);
    return true;
}

}  // namespace qv::qvteam
