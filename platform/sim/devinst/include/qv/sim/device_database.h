// The simulated host's device database: devices as records, written to and read from the
// registry where Windows keeps them (see docs/qvsim.md):
//   device node    SYSTEM\CurrentControlSet\Enum\<instance id>
//   driver key     SYSTEM\CurrentControlSet\Control\Class\{class}\NNNN
//   connection     SYSTEM\CurrentControlSet\Control\Network\{class}\{NetCfgInstanceId}\Connection
//   interfaces     SYSTEM\CurrentControlSet\Control\DeviceClasses\{interface}\##?#<id, # for \>#{interface}
//   simulator      SOFTWARE\QvSim\Devices\<id, # for \>
// Values are written in a fixed order and only when given, so a record always gives the same keys
// and bytes (the default machine's export is compared byte for byte). For qvsim, the default
// inventory and the tests; the programs never include this header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/registry.h"

namespace qv::sim {

// CreateDevice's answer when the device node exists already (ERROR_ALREADY_EXISTS).
inline constexpr LStatus kDeviceExists = 183;

// One typed registry value with its exact bytes.
struct RegValue {
    std::u16string name;
    uint32_t type = kRegSz;
    std::vector<uint8_t> data;

    static RegValue String(std::u16string_view name, std::u16string_view text);
    static RegValue Dword(std::u16string_view name, uint32_t value);
    static RegValue MultiString(std::u16string_view name, const std::vector<std::u16string>& list);

    // The value read as text up to the first terminator (any type).
    std::u16string AsString() const;
    // A REG_MULTI_SZ read as its strings (up to the empty string that ends the list).
    std::vector<std::u16string> AsMultiString() const;
};

// The values of one key in creation order, looked up by name ignoring case.
struct RegValues {
    std::vector<RegValue> values;

    const RegValue* Find(std::u16string_view name) const;
    std::optional<std::u16string> String(std::u16string_view name) const;
    std::optional<uint32_t> Dword(std::u16string_view name) const;  // none unless four bytes
    // Replaces the value of that name, or appends it.
    void Set(RegValue value);
};

// The simulator-only state of a device (SOFTWARE\QvSim\Devices\<id>); each value only when set.
struct SimDeviceState {
    std::optional<uint32_t> present;   // 0 = not present; missing = present
    std::optional<uint32_t> disabled;  // 1 = disabled
    std::u16string permanentAddress;   // REG_SZ, 12 hex digits; none when empty
    std::optional<uint32_t> card;      // n5 card index of the adapter or bus-driver instance
    std::optional<uint32_t> port;
    std::optional<uint32_t> installState;
};

// One device of the database. Empty strings, empty lists and unset optionals are not written.
struct DeviceRecord {
    std::u16string instanceId;  // "<enumerator>\<device>\<instance>"
    // Device node values, written in this order.
    std::vector<std::u16string> hardwareIds;
    std::vector<std::u16string> compatibleIds;
    std::u16string description;   // DeviceDesc
    std::u16string friendlyName;  // FriendlyName
    std::u16string service;
    std::u16string classGuid;     // ClassGUID, "{...}": the class of the driver key
    std::u16string className;     // Class
    std::u16string manufacturer;  // Mfg
    std::u16string location;      // LocationInformation
    std::optional<uint32_t> configFlags;
    // Driver key "{class}\NNNN" (the node's Driver value): CreateDevice takes the first free NNNN of
    // the class when it is empty. Its values: NetCfgInstanceId first, then driverValues in order.
    std::u16string driverKey;
    std::u16string netCfgInstanceId;  // "{...}"; network adapters and their connection key
    RegValues driverValues;
    // Connection key (network adapters with a NetCfgInstanceId): Name, PnpInstanceID, MediaSubType.
    std::u16string connectionName;  // no Connection key when empty
    std::optional<uint32_t> mediaSubType;
    SimDeviceState state;
    // Device interface classes ("{...}") the device is registered under.
    std::vector<std::u16string> interfaceClasses;
};

// Paths below HKEY_LOCAL_MACHINE.
std::u16string DeviceNodePath(std::u16string_view instanceId);
std::u16string DriverKeyPath(std::u16string_view driverKey);  // "{class}\NNNN" -> Control\Class\...
std::u16string ConnectionKeyPath(std::u16string_view netCfgInstanceId);
std::u16string DeviceStatePath(std::u16string_view instanceId);
// Whether the device has its node under Enum and is present (its interfaces are then enabled).
bool DeviceNodePresent(std::u16string_view instanceId);
// The reference name of the device's interface registration: "##?#<id, # for \>#{interface}".
std::u16string InterfaceReferenceName(std::u16string_view instanceId, std::u16string_view interfaceClass);

// Writes every key of the record. A driver key is allocated when record->driverKey is empty (and
// the record has a class) and stored back into the record. Returns the first failing registry
// status (kErrorSuccess when all was written); when the device node exists already the answer is
// kDeviceExists and nothing is written. Each write is its own registry call: callers that need the
// device to appear at once group the call into a RegistryTransaction (qv/sim/machine.h).
LStatus CreateDevice(DeviceRecord* record);

// Removes the device node, its driver key, its connection key (the whole {guid} key), its
// interface registrations and its simulator state; the node's parent key and an interface class
// key go too once nothing is left in them, so a device created and removed again leaves the
// registry as it was. kErrorFileNotFound when there is no such device node.
LStatus RemoveDevice(std::u16string_view instanceId);

// The first free driver key "{class}\NNNN" of the class (0000 when the class has none).
std::optional<std::u16string> FreeDriverKey(std::u16string_view classGuid, LStatus* status);

// Reads the device back as a record: node values, driver key values (all but NetCfgInstanceId go to
// driverValues), connection name, simulator state and interface registrations. nullopt with
// kErrorFileNotFound in *status when the node does not exist, other registry failures likewise.
std::optional<DeviceRecord> ReadDevice(std::u16string_view instanceId, LStatus* status = nullptr);

// Instance ids of every device node, in registry enumeration order; only those below enumerator
// (e.g. "PCI", "ROOT") when it is not empty and of the class when classGuid is not empty. A missing
// Enum tree is an empty list; other registry failures are returned in *status.
std::vector<std::u16string> ListDeviceInstances(std::u16string_view enumerator, LStatus* status);
std::vector<std::u16string> ListDevices(std::u16string_view enumerator, std::u16string_view classGuid,
                                        LStatus* status);

// The device whose driver key holds this NetCfgInstanceId, resp. the network adapter whose
// connection name this is (both ignoring case); nullopt when there is none.
std::optional<std::u16string> FindDeviceByNetCfgInstanceId(std::u16string_view guid);
std::optional<std::u16string> FindDeviceByConnectionName(std::u16string_view name);

// The values of the key at path (creation order); nullopt with the status when it cannot be opened.
std::optional<RegValues> ReadKeyValues(std::u16string_view path, LStatus* status = nullptr);
// Creates the key at path with every missing level and writes the values in order; the first
// failing registry status, else kErrorSuccess.
LStatus WriteKeyValues(std::u16string_view path, const RegValues& values);

}  // namespace qv::sim
