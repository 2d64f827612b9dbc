// Installing a driver on a device of the simulated host: what the class installer does after a
// driver was chosen. The device is read back as a record of the device database, given the
// driver's values and written again in one registry transaction, so that it has the same keys and
// value order as the devices of the default inventory; then the device starts.
//
// A device without a driver gets the first free driver key of its class and, for a network
// adapter, a new NetCfgInstanceId and the first free connection name "Local Area Connection N".
// Reinstalling keeps the driver key, the instance GUID, the connection name and every value the
// driver key holds besides those the INF gives.
#include <set>

#include "device_install.h"
#include "device_node.h"
#include "driver_inf.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/install_points.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"
#include "qv/sim/simulated_miniport.h"

namespace qv::sim {
namespace {

constexpr std::u16string_view kConnectionPrefix = u"Local Area Connection";
constexpr uint32_t kMediaSubTypeEthernet = 1;

// The N of "Local Area Connection" (1) or "Local Area Connection N"; 0 for other names.
int ConnectionNumber(std::u16string_view name) {
    if (!StartsWithIgnoreCase(name, kConnectionPrefix)) return 0;
    const std::u16string_view rest = name.substr(kConnectionPrefix.size());
    if (rest.empty()) return 1;
    if (rest[0] != u' ' || rest.size() < 2 || rest.size() > 6) return 0;
    int n = 0;
    for (const char16_t c : rest.substr(1)) {
        if (c < u'0' || c > u'9') return 0;
        n = n * 10 + (c - u'0');
    }
    return n;
}

// "Local Area Connection N" with the first N that no connection of the Net class uses.
std::u16string FreeConnectionName() {
    std::set<int> used;
    RegKey network;
    if (RegKey::Open(JoinPath(kNetworkPath, kNetClassGuid), kKeyRead, &network) == kErrorSuccess) {
        for (const auto& guid : network.SubKeys()) {
            RegKey connection;
            if (RegKey::Open(ConnectionKeyPath(guid), kKeyQueryValue, &connection) != kErrorSuccess) continue;
            used.insert(ConnectionNumber(connection.ReadString(u"Name").value_or(u"")));
        }
    }
    int n = 1;
    while (used.count(n) != 0) ++n;
    if (n == 1) return std::u16string(kConnectionPrefix);
    return std::u16string(kConnectionPrefix) + u' ' + ToUtf16(std::to_string(n));
}

// The record of the device with the driver's values.
void ApplyDriver(const DriverEntry& driver, DeviceRecord* record) {
    const bool fresh = record->driverKey.empty() || !ReadKeyValues(DriverKeyPath(record->driverKey));
    if (fresh) {
        record->driverKey.clear();  // CreateDevice takes the first free one of the class
        record->driverValues = RegValues{};
    }
    record->service = driver.service;
    record->description = driver.description;
    record->manufacturer = driver.manufacturer;
    if (!driver.classGuid.empty()) record->classGuid = driver.classGuid;
    if (!driver.className.empty()) record->className = driver.className;
    const bool network = EqualsIgnoreCase(record->classGuid, kNetClassGuid);
    if (network && record->netCfgInstanceId.empty()) record->netCfgInstanceId = GuidToString(NewRandomGuid());
    if (network && record->connectionName.empty()) {
        record->connectionName = FreeConnectionName();
        record->mediaSubType = kMediaSubTypeEthernet;
    }
    RegValues& values = record->driverValues;
    values.Set(RegValue::String(u"ProviderName", driver.provider));
    values.Set(RegValue::String(u"DriverDesc", driver.description));
    values.Set(RegValue::String(u"DriverDate", driver.driverDate));
    values.Set(RegValue::String(u"DriverVersion", driver.driverVersion));
    values.Set(RegValue::String(u"ComponentId", AsciiLower(driver.hardwareId)));
    values.Set(RegValue::String(u"MatchingDeviceId", AsciiLower(driver.hardwareId)));
    if (driver.characteristics) values.Set(RegValue::Dword(u"Characteristics", *driver.characteristics));
    values.Set(RegValue::String(u"InfPath", driver.infName));
    values.Set(RegValue::String(u"InfSection", driver.installSection));
}

// Installs driver on the registered device; a Win32 error (kErrorSuccess when installed).
Win32Error InstallDriver(std::u16string_view instanceId, const DriverEntry& driver) {
    RegistryTransaction txn;
    if (!txn.ok()) return static_cast<Win32Error>(txn.status());
    LStatus status = kErrorSuccess;
    auto record = ReadDevice(instanceId, &status);
    if (!record) return status == kErrorFileNotFound ? kErrorNoSuchDevinst : static_cast<Win32Error>(status);
    ApplyDriver(driver, &*record);
    // The record holds the simulator values it knows; the others (faults, profile state) are
    // carried over as they are.
    const auto state = ReadKeyValues(DeviceStatePath(instanceId));
    status = RemoveDevice(instanceId);
    PassInstallPoint(InstallPoint::kInstallOldRemoved);
    if (status == kErrorSuccess) status = CreateDevice(&*record);
    if (status == kErrorSuccess && state) status = WriteKeyValues(DeviceStatePath(instanceId), *state);
    PassInstallPoint(InstallPoint::kInstallDeviceWritten);
    if (status == kErrorSuccess && record->state.disabled.value_or(0) == 0)
        status = StartMiniport(instanceId);
    if (status == kErrorSuccess) status = txn.Commit();
    return static_cast<Win32Error>(status);
}

}  // namespace

std::optional<uint32_t> InstallMemberDriver(SetMember& member, const DriverEntry& driver) {
    if (!member.data->registered || member.data->removed) return FailWith(kErrorNoSuchDevinst, std::nullopt);
    const Win32Error error = InstallDriver(member.instanceId, driver);
    if (error != kErrorSuccess) return FailWith(error, std::nullopt);
    return Succeed(NoteRebootRequest(member.data));
}

bool UpdateDevicesWithHardwareId(std::u16string_view hardwareId, std::u16string_view infPath, bool force,
                                 bool* rebootRequired) {
    const std::vector<std::u16string> wanted{std::u16string(hardwareId)};
    std::optional<DriverEntry> best;
    for (auto& driver : ReadInfDrivers(infPath)) {
        const auto rank = RankDriver(&driver, wanted, {});
        if (!rank || (best && best->rank <= *rank)) continue;
        driver.rank = *rank;
        best = std::move(driver);
    }
    if (!best) return FailWith(kErrorNoCompatDrivers);
    LStatus status = kErrorSuccess;
    std::vector<std::u16string> devices;
    for (const auto& id : ListDeviceInstances(u"", &status)) {
        if (!IsDevicePresent(id)) continue;
        const auto record = ReadDevice(id);
        if (!record || !EqualsIgnoreCase(record->classGuid, best->classGuid)) continue;
        bool named = false;
        for (const auto* list : {&record->hardwareIds, &record->compatibleIds}) {
            for (const auto& own : *list) named = named || EqualsIgnoreCase(own, hardwareId);
        }
        if (named) devices.push_back(id);
    }
    if (devices.empty()) return FailWith(kErrorNoSuchDevinst);
    int installed = 0;
    for (const auto& id : devices) {
        const auto record = ReadDevice(id);
        if (!force && record && !record->driverKey.empty()) continue;
        const Win32Error error = InstallDriver(id, *best);
        if (error != kErrorSuccess) return FailWith(error);
        ++installed;
    }
    if (installed == 0) return FailWith(kErrorNoMoreItems);  // nothing better to install
    if (rebootRequired) *rebootRequired = NoteRebootRequest(nullptr) != 0;
    return Succeed();
}

}  // namespace qv::sim
