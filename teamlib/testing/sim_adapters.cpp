#include "qv/teamlib/testing/sim_adapters.h"

#include <string_view>

#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"

namespace qv::testing {
namespace {

constexpr uint32_t kNcfVirtual = 0x1;

}  // namespace

std::u16string DefaultPortGuid(int index) {
    return U16Format(u"{5A5A0005-0000-4000-8000-0000000000%02X}", index + 1);
}

bool AddSimAdapter(const SimAdapter& a) {
    sim::DeviceRecord r;
    r.instanceId = a.instanceId;
    r.description = a.description;
    r.friendlyName = a.friendlyName;
    r.service = u"qvteamp";
    r.classGuid = sim::kNetClassGuid;
    r.className = u"Net";
    r.manufacturer = a.provider;
    r.netCfgInstanceId = a.guid;
    r.driverValues.values = {
        sim::RegValue::String(u"ProviderName", a.provider),
        sim::RegValue::String(u"DriverDesc", a.description),
        sim::RegValue::String(u"DriverDate", u"3-14-2008"),
        sim::RegValue::String(u"DriverVersion", u"2.0.1.5"),
        sim::RegValue::Dword(u"Characteristics", kNcfVirtual),
    };
    if (a.vlanId) r.driverValues.values.push_back(sim::RegValue::Dword(u"VlanID", *a.vlanId));
    r.connectionName = a.connectionName;
    r.state.present = a.present ? 1 : 0;
    r.state.disabled = 0;
    return sim::CreateDevice(&r) == kErrorSuccess;
}

bool AddTeamAdapter(int number, const std::u16string& guid, const std::u16string& name) {
    SimAdapter a;
    a.instanceId = U16Format(u"ROOT\\NET\\%04d", number);
    a.guid = guid;
    a.friendlyName = name;
    a.connectionName = name;
    return AddSimAdapter(a);
}

std::u16string StoreEntryPath(const std::u16string& member) {
    return std::u16string(kAdaptersKeyPath) + u'\\' + member;
}

bool WriteStoreEntry(const std::u16string& member, const std::optional<std::u16string>& teamAdapterGuid,
                     std::optional<uint32_t> teamNumber, std::optional<uint32_t> order) {
    sim::RegValues values;
    if (teamNumber) values.values.push_back(sim::RegValue::Dword(u"TeamNumber", *teamNumber));
    if (teamAdapterGuid)
        values.values.push_back(sim::RegValue::String(u"TeamBinding", u"\\Device\\" + *teamAdapterGuid));
    if (order) values.values.push_back(sim::RegValue::Dword(u"Order", *order));
    return sim::WriteKeyValues(StoreEntryPath(member), values) == kErrorSuccess;
}

std::optional<std::vector<uint8_t>> ReadValueBytes(const std::u16string& path, const std::u16string& name,
                                                   uint32_t* type) {
    const auto values = sim::ReadKeyValues(path);
    const sim::RegValue* value = values ? values->Find(name) : nullptr;
    if (value == nullptr) return std::nullopt;
    if (type != nullptr) *type = value->type;
    return value->data;
}

bool WriteValueBytes(const std::u16string& path, const std::u16string& name, uint32_t type,
                     const std::vector<uint8_t>& bytes) {
    return sim::WriteKeyValues(path, sim::RegValues{{sim::RegValue{name, type, bytes}}}) == kErrorSuccess;
}

std::u16string DriverKeyPathOf(const std::u16string& guid) {
    const auto instanceId = sim::FindDeviceByNetCfgInstanceId(guid);
    if (!instanceId) return {};
    const auto device = sim::ReadDevice(*instanceId);
    if (!device || device->driverKey.empty()) return {};
    return sim::DriverKeyPath(device->driverKey);
}

}  // namespace qv::testing
