// Creating and removing devices of the simulated device database.
#include "device_node.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {
namespace {

// Keeps the first failure of a series of registry calls.
class Status {
  public:
    void Note(LStatus status) {
        if (status_ == kErrorSuccess) status_ = status;
    }
    // Deletions of what is already gone count as done.
    void NoteDeletion(LStatus status) {
        if (status != kErrorFileNotFound) Note(status);
    }
    LStatus get() const { return status_; }

  private:
    LStatus status_ = kErrorSuccess;
};

void Add(RegValues* values, std::u16string_view name, std::u16string_view text) {
    if (!text.empty()) values->values.push_back(RegValue::String(name, text));
}
void Add(RegValues* values, std::u16string_view name, const std::vector<std::u16string>& list) {
    if (!list.empty()) values->values.push_back(RegValue::MultiString(name, list));
}
void Add(RegValues* values, std::u16string_view name, std::optional<uint32_t> number) {
    if (number) values->values.push_back(RegValue::Dword(name, *number));
}

RegValues NodeValues(const DeviceRecord& r) {
    RegValues v;
    Add(&v, u"HardwareID", r.hardwareIds);
    Add(&v, u"CompatibleIDs", r.compatibleIds);
    Add(&v, u"DeviceDesc", r.description);
    Add(&v, u"FriendlyName", r.friendlyName);
    Add(&v, u"Service", r.service);
    Add(&v, u"Driver", r.driverKey);
    Add(&v, u"ClassGUID", r.classGuid);
    Add(&v, u"Class", r.className);
    Add(&v, u"Mfg", r.manufacturer);
    Add(&v, u"LocationInformation", r.location);
    Add(&v, u"ConfigFlags", r.configFlags);
    return v;
}

RegValues DriverValues(const DeviceRecord& r) {
    RegValues v;
    Add(&v, u"NetCfgInstanceId", r.netCfgInstanceId);
    for (const auto& value : r.driverValues.values) v.values.push_back(value);
    return v;
}

RegValues ConnectionValues(const DeviceRecord& r) {
    RegValues v;
    Add(&v, u"Name", r.connectionName);
    Add(&v, u"PnpInstanceID", r.instanceId);
    Add(&v, u"MediaSubType", r.mediaSubType);
    return v;
}

RegValues StateValues(const SimDeviceState& s) {
    RegValues v;
    Add(&v, kStatePresent, s.present);
    Add(&v, kStateDisabled, s.disabled);
    Add(&v, kStatePermanentAddress, s.permanentAddress);
    Add(&v, kStateCard, s.card);
    Add(&v, kStatePort, s.port);
    Add(&v, kStateInstallState, s.installState);
    return v;
}

RegValues InterfaceValues(std::u16string_view instanceId, std::u16string_view interfaceClass) {
    RegValues v;
    Add(&v, u"DeviceInstance", instanceId);
    Add(&v, u"SymbolicLink",
        u"\\\\?\\" + DeviceStateKeyName(instanceId) + u'#' + std::u16string(interfaceClass));
    return v;
}

std::u16string InterfacePath(std::u16string_view instanceId, std::u16string_view interfaceClass) {
    return JoinPath(JoinPath(kDeviceClassesPath, interfaceClass),
                    InterfaceReferenceName(instanceId, interfaceClass));
}

// Deletes the key at path when it has neither subkeys nor values.
LStatus DeleteIfEmpty(const std::u16string& path) {
    {
        RegKey key;
        const LStatus opened = RegKey::Open(path, kKeyRead, &key);
        if (opened != kErrorSuccess) return opened;
        if (!key.SubKeys().empty()) return kErrorSuccess;
        const auto values = ReadKeyValues(path);
        if (values && !values->values.empty()) return kErrorSuccess;
    }
    return reg::DeleteKey(kHkeyLocalMachine, path.c_str());
}

// "PCI\VEN_x\4&y" -> "PCI\VEN_x": the node's parent key below Enum.
std::u16string DeviceKeyPathOf(std::u16string_view instanceId) {
    const auto last = instanceId.rfind(u'\\');
    return DeviceNodePath(instanceId.substr(0, last == std::u16string_view::npos ? 0 : last));
}

}  // namespace

LStatus WriteKeyValues(std::u16string_view path, const RegValues& values) {
    RegKey key;
    LStatus status = RegKey::Create(path, &key);
    for (const auto& value : values.values) {
        if (status != kErrorSuccess) break;
        status = reg::SetValueEx(key.get(), value.name.c_str(), value.type, value.data.data(),
                                 static_cast<uint32_t>(value.data.size()));
    }
    return status;
}

std::optional<std::u16string> FreeDriverKey(std::u16string_view classGuid, LStatus* status) {
    *status = kErrorSuccess;
    RegKey classKey;
    const LStatus opened = RegKey::Open(JoinPath(kClassPath, classGuid), kKeyRead, &classKey);
    if (opened != kErrorSuccess && opened != kErrorFileNotFound) {
        *status = opened;
        return std::nullopt;
    }
    if (const auto key = FreeNumberedName(classKey.SubKeys())) return JoinPath(classGuid, *key);
    *status = kErrorNoMoreItems;
    return std::nullopt;
}

LStatus CreateDevice(DeviceRecord* record) {
    if (record->instanceId.empty() || record->instanceId.find(u'\\') == std::u16string::npos)
        return kErrorInvalidParameter;
    if (NodeExists(record->instanceId)) return kDeviceExists;
    if (record->driverKey.empty() && !record->classGuid.empty()) {
        LStatus status = kErrorSuccess;
        const auto driverKey = FreeDriverKey(record->classGuid, &status);
        if (!driverKey) return status;
        record->driverKey = *driverKey;
    }
    Status status;
    status.Note(WriteKeyValues(DeviceNodePath(record->instanceId), NodeValues(*record)));
    if (!record->driverKey.empty())
        status.Note(WriteKeyValues(DriverKeyPath(record->driverKey), DriverValues(*record)));
    if (!record->connectionName.empty() && !record->netCfgInstanceId.empty())
        status.Note(WriteKeyValues(ConnectionKeyPath(record->netCfgInstanceId), ConnectionValues(*record)));
    for (const auto& interfaceClass : record->interfaceClasses) {
        status.Note(WriteKeyValues(InterfacePath(record->instanceId, interfaceClass),
                                   InterfaceValues(record->instanceId, interfaceClass)));
    }
    const RegValues state = StateValues(record->state);
    if (!state.values.empty()) status.Note(WriteKeyValues(DeviceStatePath(record->instanceId), state));
    return status.get();
}

LStatus RemoveDevice(std::u16string_view instanceId) {
    const std::u16string nodePath = DeviceNodePath(instanceId);
    std::optional<std::u16string> driverKey;
    {
        RegKey node;
        const LStatus opened = RegKey::Open(nodePath, kKeyQueryValue, &node);
        if (opened != kErrorSuccess) return opened;
        driverKey = node.ReadString(u"Driver");
    }
    Status status;
    if (driverKey && !driverKey->empty()) {
        const std::u16string driverPath = DriverKeyPath(*driverKey);
        RegKey driver;
        if (RegKey::Open(driverPath, kKeyQueryValue, &driver) == kErrorSuccess) {
            const auto guid = driver.ReadString(u"NetCfgInstanceId");
            driver = RegKey();
            // The whole {guid} key below Network\{class}, not only its Connection subkey.
            if (guid && !guid->empty())
                status.NoteDeletion(
                    RegKey::DeleteTree(JoinPath(JoinPath(kNetworkPath, kNetClassGuid), *guid)));
            status.NoteDeletion(RegKey::DeleteTree(driverPath));
        }
    }
    for (const auto& registration : FindInterfaceRegistrations(instanceId)) {
        status.NoteDeletion(RegKey::DeleteTree(registration.path));
        status.NoteDeletion(DeleteIfEmpty(JoinPath(kDeviceClassesPath, registration.interfaceClass)));
    }
    status.NoteDeletion(RegKey::DeleteTree(DeviceStatePath(instanceId)));
    status.NoteDeletion(RegKey::DeleteTree(nodePath));
    status.NoteDeletion(DeleteIfEmpty(DeviceKeyPathOf(instanceId)));
    return status.get();
}

}  // namespace qv::sim
