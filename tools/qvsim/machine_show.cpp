// qvsim show: a readable summary of the machine.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"

namespace qvsim {
namespace {

using qv::ToUtf8;

// A registry key opened for reading that closes itself.
class Key {
  public:
    explicit Key(const std::u16string& path) {
        if (qv::reg::OpenKeyEx(qv::kHkeyLocalMachine, path.c_str(), qv::kKeyRead, &key_) !=
            qv::kErrorSuccess) {
            key_ = nullptr;
        }
    }
    explicit Key(qv::HKey key) : key_(key == qv::kInvalidHKey ? nullptr : key) {}
    ~Key() {
        if (key_) qv::reg::CloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    std::optional<std::u16string> String(const char16_t* name) const {
        if (!key_) return std::nullopt;
        char16_t buffer[1024] = {};
        uint32_t size = sizeof buffer - 2;
        if (qv::reg::QueryValueEx(key_, name, nullptr, reinterpret_cast<uint8_t*>(buffer), &size) !=
            qv::kErrorSuccess) {
            return std::nullopt;
        }
        return std::u16string(buffer);
    }
    std::optional<uint32_t> Dword(const char16_t* name) const {
        if (!key_) return std::nullopt;
        uint32_t value = 0, size = 4, type = 0;
        if (qv::reg::QueryValueEx(key_, name, &type, reinterpret_cast<uint8_t*>(&value), &size) !=
                qv::kErrorSuccess ||
            type != qv::kRegDword || size != 4) {
            return std::nullopt;
        }
        return value;
    }

  private:
    qv::HKey key_ = nullptr;
};

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

std::u16string DeviceProperty(qv::HDevInfo set, qv::DevInfoData* device, uint32_t property) {
    char16_t buffer[512] = {};
    if (!qv::dev::GetDeviceRegistryProperty(set, device, property, nullptr,
                                            reinterpret_cast<uint8_t*>(buffer), sizeof buffer - 2, nullptr)) {
        return {};
    }
    return buffer;
}

void ShowHost() {
    const auto major = qv::sim::ReadHostValue(u"OsMajor");
    const auto minor = qv::sim::ReadHostValue(u"OsMinor");
    const auto build = qv::sim::ReadHostValue(u"OsBuild");
    std::printf("Machine: %s\n", qv::sim::MachineDir().c_str());
    std::printf("OS version: %u.%u build %u\n", major.value_or(0), minor.value_or(0), build.value_or(0));
    std::printf("Administrator: %s\n", qv::sim::ReadHostValue(u"Administrator").value_or(1) ? "yes" : "no");
}

void ShowAdapter(qv::HDevInfo set, qv::DevInfoData* device) {
    char16_t id[qv::kMaxDeviceIdLength] = {};
    qv::dev::GetDeviceId(device->devInst, id, qv::kMaxDeviceIdLength, 0);
    Key drv(qv::dev::OpenDevRegKey(set, device, qv::kDicsFlagGlobal, 0, qv::kDiregDrv, qv::kKeyRead));
    const auto guid = drv.String(u"NetCfgInstanceId");
    const std::u16string network =
        std::u16string(qv::sim::kNetworkPath) + u'\\' + std::u16string(qv::sim::kNetClassGuid) + u'\\';
    const Key connection(network + guid.value_or(u"-") + u"\\Connection");
    std::u16string friendly = DeviceProperty(set, device, qv::kSpdrpFriendlyName);
    if (friendly.empty()) friendly = DeviceProperty(set, device, qv::kSpdrpDeviceDesc);

    std::printf("  %s\n", Text(connection.String(u"Name"), "(no connection name)").c_str());
    std::printf("    instance: %s\n", ToUtf8(id).c_str());
    std::printf("    name:     %s\n", ToUtf8(friendly).c_str());
    std::printf("    provider: %s\n", Text(drv.String(u"ProviderName")).c_str());
    std::printf("    guid:     %s\n", Text(guid).c_str());
    const Key state(std::u16string(qv::sim::kSimDevicesPath) + u'\\' + qv::sim::DeviceStateKeyName(id));
    if (const auto mac = state.String(qv::sim::kStatePermanentAddress.data())) {
        std::printf("    mac:      %s\n", FormatMac(ToUtf8(*mac)).c_str());
    }
    if (const auto address = drv.String(u"NetworkAddress")) {
        std::printf("    address:  %s\n", FormatMac(ToUtf8(*address)).c_str());
    }

    std::string flags = state.Dword(u"Present").value_or(1) ? "present" : "not present";
    if (std::u16string_view(id).substr(0, 9) == u"ROOT\\NET\\") flags.insert(0, "virtual, ");
    flags += state.Dword(u"Disabled").value_or(0) ? ", disabled" : ", enabled";
    if (drv.Dword(u"Characteristics").value_or(0) & 0x8) flags += ", hidden";
    if (guid) {
        const Key team(std::u16string(qv::sim::kServicesPath) + u"\\qvteamp\\Parameters\\Adapters\\" + *guid);
        const uint32_t number = team.Dword(u"TeamNumber").value_or(0);
        if (number & 0xF00) {
            char text[64];
            std::snprintf(text, sizeof text, ", teamed (team number 0x%X)", number);
            flags += text;
        }
        if (team.String(u"VlanBinding")) flags += ", carries VLANs";
    }
    if (const auto vlan = drv.Dword(u"VlanID")) {
        flags += ", VLAN " + std::to_string(*vlan) + " \"" + Text(drv.String(u"VlanName"), "") + "\"";
    }
    std::printf("    state:    %s\n", flags.c_str());
}

void ShowAdapters() {
    std::printf("Network adapters:\n");
    qv::HDevInfo set = qv::dev::GetClassDevs(&qv::kGuidDevClassNet, nullptr, nullptr, 0);
    if (set == qv::kInvalidDevInfo) {
        std::printf("  (the device database cannot be read)\n");
        return;
    }
    qv::DevInfoData device;
    uint32_t i = 0;
    for (; qv::dev::EnumDeviceInfo(set, i, &device); ++i) ShowAdapter(set, &device);
    if (i == 0) std::printf("  (none)\n");
    qv::dev::DestroyDeviceInfoList(set);
}

void ShowBusDrivers() {
    std::printf("Bus-driver instances:\n");
    constexpr qv::Guid kSystemClass = {
        0x4D36E97D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
    qv::HDevInfo set = qv::dev::GetClassDevs(&kSystemClass, u"ROOT", nullptr, 0);
    int shown = 0;
    if (set != qv::kInvalidDevInfo) {
        qv::DevInfoData device;
        for (uint32_t i = 0; qv::dev::EnumDeviceInfo(set, i, &device); ++i) {
            if (DeviceProperty(set, &device, qv::kSpdrpService) != u"qvvbd") continue;
            char16_t id[qv::kMaxDeviceIdLength] = {};
            qv::dev::GetDeviceId(device.devInst, id, qv::kMaxDeviceIdLength, 0);
            std::printf("  nic%d  %s  %s\n", shown++, ToUtf8(id).c_str(),
                        qv::sim::IsDevicePresent(id) ? "present" : "not present");
        }
        qv::dev::DestroyDeviceInfoList(set);
    }
    if (shown == 0) std::printf("  (none)\n");
}

}  // namespace

int RunShow(std::span<char* const> args) {
    if (!args.empty()) return Fail(kExitUsage, "show: takes no arguments");
    ShowHost();
    ShowAdapters();
    ShowBusDrivers();
    return kExitOk;
}

}  // namespace qvsim
