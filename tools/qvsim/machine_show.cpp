// qvsim show: a readable summary of the machine.
#include <cstdio>
#include <optional>
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"

namespace qvsim {
namespace {

using qv::ToUtf8;
using qv::sim::DeviceRecord;

// The teaming driver's store: one key per adapter (its GUID) below this path.
constexpr char16_t kTeamStoreAdaptersPath[] =
    u"System\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters";
// A TeamNumber's bits 8-11 hold the team mode; 0 means the adapter is in no team.
constexpr uint32_t kTeamModeShift = 8;
constexpr uint32_t kTeamModeMask = 0xF;
// The Characteristics bit of an adapter that is hidden from the user.
constexpr uint32_t kCharacteristicHidden = 0x8;

std::string Text(const std::optional<std::u16string>& value, const char* missing = "-") {
    return value ? ToUtf8(*value) : std::string(missing);
}

// "025A5A000100" -> "02-5A-5A-00-01-00"; anything else unchanged.
std::string FormatMac(const std::string& mac) {
    if (mac.size() != 12) return mac;
    std::string out;
    for (size_t i = 0; i < 12; i += 2) {
        if (i) out += '-';
        out += mac.substr(i, 2);
    }
    return out;
}

// The host lines; false (nothing printed) when the machine's host state cannot be read. The
// registry layer has then said why, unless the key is simply missing.
bool ShowHost() {
    qv::LStatus status = qv::kErrorSuccess;
    const auto host = qv::sim::ReadKeyValues(qv::sim::kSimHostPath, &status);
    if (!host) {
        if (status == qv::kErrorFileNotFound) Fail(kExitFailure, "show: the machine has no host state");
        return false;
    }
    std::printf("Machine: %s\n", qv::sim::MachineDir().string().c_str());
    std::printf("OS version: %u.%u build %u\n", host->Dword(u"OsMajor").value_or(0),
                host->Dword(u"OsMinor").value_or(0), host->Dword(u"OsBuild").value_or(0));
    std::printf("Administrator: %s\n", host->Dword(u"Administrator").value_or(1) ? "yes" : "no");
    return true;
}

// The Name of the adapter's connection key; none without the key or the value.
std::optional<std::u16string> ConnectionName(const DeviceRecord& device) {
    if (device.netCfgInstanceId.empty()) return std::nullopt;
    const auto connection = qv::sim::ReadKeyValues(qv::sim::ConnectionKeyPath(device.netCfgInstanceId));
    return connection ? connection->String(u"Name") : std::nullopt;
}

// ", teamed (...)" and ", carries VLANs" from the adapter's team store entry.
std::string TeamMarkers(const std::u16string& guid) {
    const auto entry = qv::sim::ReadKeyValues(qv::sim::JoinPath(kTeamStoreAdaptersPath, guid));
    if (!entry) return {};
    std::string markers;
    const uint32_t number = entry->Dword(u"TeamNumber").value_or(0);
    if (((number >> kTeamModeShift) & kTeamModeMask) != 0) {
        char text[64];
        std::snprintf(text, sizeof text, ", teamed (team number 0x%X)", number);
        markers += text;
    }
    if (entry->Find(u"VlanBinding")) markers += ", carries VLANs";
    return markers;
}

void ShowAdapter(const DeviceRecord& device) {
    const auto& driver = device.driverValues;
    const std::optional<std::u16string> guid =
        device.netCfgInstanceId.empty() ? std::nullopt : std::optional(device.netCfgInstanceId);
    const std::u16string& name = device.friendlyName.empty() ? device.description : device.friendlyName;
    std::printf("  %s\n", Text(ConnectionName(device), "(no connection name)").c_str());
    std::printf("    instance: %s\n", ToUtf8(device.instanceId).c_str());
    std::printf("    name:     %s\n", ToUtf8(name).c_str());
    std::printf("    provider: %s\n", Text(driver.String(u"ProviderName")).c_str());
    std::printf("    guid:     %s\n", Text(guid).c_str());
    if (!device.state.permanentAddress.empty()) {
        std::printf("    mac:      %s\n", FormatMac(ToUtf8(device.state.permanentAddress)).c_str());
    }
    if (const auto address = driver.String(u"NetworkAddress")) {
        std::printf("    address:  %s\n", FormatMac(ToUtf8(*address)).c_str());
    }

    std::string flags = device.state.present.value_or(1) ? "present" : "not present";
    if (std::u16string_view(device.instanceId).substr(0, 9) == u"ROOT\\NET\\") flags.insert(0, "virtual, ");
    flags += device.state.disabled.value_or(0) ? ", disabled" : ", enabled";
    if (driver.Dword(u"Characteristics").value_or(0) & kCharacteristicHidden) flags += ", hidden";
    if (guid) flags += TeamMarkers(*guid);
    if (const auto vlan = driver.Dword(u"VlanID")) {
        flags += ", VLAN " + std::to_string(*vlan) + " \"" + Text(driver.String(u"VlanName"), "") + "\"";
    }
    std::printf("    state:    %s\n", flags.c_str());
    if (guid) ShowAdapterBindings(*guid);
}

void ShowAdapters() {
    std::printf("Network adapters:\n");
    qv::LStatus status = qv::kErrorSuccess;
    const auto ids = qv::sim::ListDevices(u"", qv::sim::kNetClassGuid, &status);
    if (status != qv::kErrorSuccess) {
        std::printf("  (the device database cannot be read)\n");
        return;
    }
    int shown = 0;
    for (const auto& id : ids) {
        const auto device = qv::sim::ReadDevice(id);
        if (!device) continue;  // removed meanwhile
        ShowAdapter(*device);
        ++shown;
    }
    if (shown == 0) std::printf("  (none)\n");
}

void ShowBusDrivers() {
    std::printf("Bus-driver instances:\n");
    qv::LStatus status = qv::kErrorSuccess;
    int shown = 0;
    for (const auto& id : qv::sim::ListDevices(u"ROOT", qv::sim::kSystemClassGuid, &status)) {
        const auto device = qv::sim::ReadDevice(id);
        if (!device || device->service != u"qvvbd") continue;
        std::printf("  nic%d  %s  %s\n", shown++, ToUtf8(id).c_str(),
                    device->state.present.value_or(1) ? "present" : "not present");
    }
    if (shown == 0) std::printf("  (none)\n");
}

}  // namespace

int RunShow(std::span<char* const> args) {
    if (!args.empty()) return Fail(kExitUsage, "show: takes no arguments");
    if (!ShowHost()) return kExitFailure;
    ShowInstallSettings();
    ShowAdapters();
    ShowWriteLock();
    ShowBusDrivers();
    return kExitOk;
}

}  // namespace qvsim
