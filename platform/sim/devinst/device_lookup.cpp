// Reading devices of the simulated device database back as records, and finding them.
#include "device_node.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {
namespace {

std::u16string StringOf(const RegValues& values, std::u16string_view name) {
    return values.String(name).value_or(u"");
}

std::vector<std::u16string> ListOf(const RegValues& values, std::u16string_view name) {
    const RegValue* value = values.Find(name);
    return value ? value->AsMultiString() : std::vector<std::u16string>{};
}

void ReadNode(const RegValues& node, DeviceRecord* r) {
    r->hardwareIds = ListOf(node, u"HardwareID");
    r->compatibleIds = ListOf(node, u"CompatibleIDs");
    r->description = StringOf(node, u"DeviceDesc");
    r->friendlyName = StringOf(node, u"FriendlyName");
    r->service = StringOf(node, u"Service");
    r->driverKey = StringOf(node, u"Driver");
    r->classGuid = StringOf(node, u"ClassGUID");
    r->className = StringOf(node, u"Class");
    r->manufacturer = StringOf(node, u"Mfg");
    r->location = StringOf(node, u"LocationInformation");
    r->configFlags = node.Dword(u"ConfigFlags");
}

void ReadDriver(const RegValues& driver, DeviceRecord* r) {
    for (const auto& value : driver.values) {
        if (EqualsIgnoreCase(value.name, u"NetCfgInstanceId")) {
            r->netCfgInstanceId = value.AsString();
        } else {
            r->driverValues.values.push_back(value);
        }
    }
}

void ReadState(const RegValues& state, SimDeviceState* s) {
    s->present = state.Dword(kStatePresent);
    s->disabled = state.Dword(kStateDisabled);
    s->permanentAddress = StringOf(state, kStatePermanentAddress);
    s->card = state.Dword(kStateCard);
    s->port = state.Dword(kStatePort);
    s->installState = state.Dword(kStateInstallState);
}

// The NetCfgInstanceId in the driver key of the device; empty when it has none.
std::u16string NetCfgInstanceIdOf(const std::u16string& instanceId) {
    RegKey node, driver;
    if (RegKey::Open(DeviceNodePath(instanceId), kKeyQueryValue, &node) != kErrorSuccess) return {};
    const auto driverKey = node.ReadString(u"Driver");
    if (!driverKey || driverKey->empty()) return {};
    if (RegKey::Open(DriverKeyPath(*driverKey), kKeyQueryValue, &driver) != kErrorSuccess) return {};
    return driver.ReadString(u"NetCfgInstanceId").value_or(u"");
}

}  // namespace

std::optional<DeviceRecord> ReadDevice(std::u16string_view instanceId, LStatus* status) {
    LStatus opened = kErrorSuccess;
    const auto node = ReadKeyValues(DeviceNodePath(instanceId), &opened);
    if (status) *status = opened;
    if (!node) return std::nullopt;
    DeviceRecord r;
    r.instanceId = instanceId;
    ReadNode(*node, &r);
    if (!r.driverKey.empty())
        if (const auto driver = ReadKeyValues(DriverKeyPath(r.driverKey))) ReadDriver(*driver, &r);
    if (!r.netCfgInstanceId.empty()) {
        if (const auto connection = ReadKeyValues(ConnectionKeyPath(r.netCfgInstanceId))) {
            r.connectionName = StringOf(*connection, u"Name");
            r.mediaSubType = connection->Dword(u"MediaSubType");
        }
    }
    if (const auto state = ReadKeyValues(DeviceStatePath(instanceId))) ReadState(*state, &r.state);
    for (auto& registration : FindInterfaceRegistrations(instanceId))
        r.interfaceClasses.push_back(std::move(registration.interfaceClass));
    return r;
}

std::optional<std::u16string> FindDeviceByNetCfgInstanceId(std::u16string_view guid) {
    LStatus status = kErrorSuccess;
    for (const auto& id : ListDeviceInstances(u"", &status)) {
        if (EqualsIgnoreCase(NetCfgInstanceIdOf(id), guid)) return id;
    }
    return std::nullopt;
}

std::optional<std::u16string> FindDeviceByConnectionName(std::u16string_view name) {
    LStatus status = kErrorSuccess;
    for (const auto& id : ListDevices(u"", kNetClassGuid, &status)) {
        const std::u16string guid = NetCfgInstanceIdOf(id);
        if (guid.empty()) continue;
        RegKey connection;
        if (RegKey::Open(ConnectionKeyPath(guid), kKeyQueryValue, &connection) != kErrorSuccess) continue;
        const auto connectionName = connection.ReadString(u"Name");
        if (connectionName && EqualsIgnoreCase(*connectionName, name)) return id;
    }
    return std::nullopt;
}

}  // namespace qv::sim
