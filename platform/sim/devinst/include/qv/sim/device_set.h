// What a device information set handle refers to on the simulated host. As on Windows, one kind
// of set serves both lookups: a class device set (GetClassDevs) lists devices, an interface set
// (GetClassDevsA with DIGCF_DEVICEINTERFACE) lists the interfaces of one interface class; both are
// destroyed by DestroyDeviceInfoList.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/sim/handle_table.h"

namespace qv::sim {

// One interface of an interface set: its device path and the device that registered it.
struct InterfaceMember {
    std::string path;
    std::u16string deviceInstance;
};

// One driver of a driver list: where it comes from in its INF and what it installs.
struct DriverEntry {
    std::u16string infPath;                // full path of the INF file
    std::u16string infName;                // its file name ("oem1.inf")
    std::vector<std::u16string> modelIds;  // the models line's hardware id, then its compatible ids
    std::u16string hardwareId;             // the one of them that matched the device
    bool excluded = false;                 // named by [ControlFlags] ExcludeFromSelect
    std::u16string installSection;         // the models line's install section ("QvTeamMp.ndi")
    std::u16string description, manufacturer, provider;
    std::u16string className, classGuid;
    std::u16string driverDate;     // "M-D-YYYY", as a driver key stores it
    std::u16string driverVersion;  // "a.b.c.d"
    uint64_t fileTime = 0;         // DriverDate as a FILETIME
    uint64_t version = 0;          // DriverVersion packed as four 16-bit parts
    std::optional<uint32_t> characteristics;
    std::u16string service;  // from the install section's AddReg Ndi\Service, or AddService
    uint32_t rank = 0;       // 0 for a hardware-id match, more for a compatible-id match
};

// What a set keeps for one of its devices, as SetupAPI keeps it per device information element.
struct DeviceInstallData {
    DevInstallParams params;
    std::vector<uint8_t> classInstallParams;  // the record last set; empty when none
    // A device made by CreateDeviceInfo that DIF_REGISTERDEVICE has not yet made a device node:
    // its class, description and the properties set so far (type and exact bytes) live here only.
    bool registered = true;
    bool removed = false;
    std::u16string classGuid, className;
    std::map<uint32_t, std::pair<uint32_t, std::vector<uint8_t>>> pendingProperties;
    // The device's driver lists and the selected driver.
    std::optional<std::vector<DriverEntry>> compatDrivers;
    std::optional<std::vector<DriverEntry>> classDrivers;
    std::optional<DriverEntry> selectedDriver;
};

struct DeviceSet : HandleObject {
    static constexpr HandleKind kKind = HandleKind::kDeviceSet;
    // Devices found when the set was made, in enumeration order (device instance handles), then
    // those created in it.
    std::vector<uint32_t> devices;
    // The class of a set made by CreateDeviceInfoList with a class; devices created in it must be
    // of that class.
    std::optional<Guid> listClass;
    // Per-device install state, made on first use; and the set's selected device (0: none).
    std::map<uint32_t, DeviceInstallData> install;
    uint32_t selectedDevice = 0;
    // Interfaces of interfaceClass found when the set was made, in enumeration order.
    Guid interfaceClass{};
    std::vector<InterfaceMember> interfaces;
};

}  // namespace qv::sim
