// newdev.dll on the simulated host: the library loads by name, and its three installation
// exports exist, work or fail as the machine's host values say (qv/sim/host_state.h). Their
// addresses are functions of this file with the port's signatures.
#include "qv/platform/newdev.h"

#include <memory>

#include "device_install.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"

namespace qv::newdev {
namespace {

using sim::FailWith;

struct LoadedModule : sim::HandleObject {
    static constexpr sim::HandleKind kKind = sim::HandleKind::kModule;
};

// Whether the export named by its host value works now; false with the last error set otherwise.
bool ExportWorks(std::u16string_view hostValue) {
    const uint32_t state = sim::ReadHostValue(hostValue).value_or(sim::kExportWorks);
    if (state == sim::kExportWorks) return true;
    return FailWith(state == sim::kExportMissing ? kErrorProcNotFound : kErrorGenFailure);
}

bool SameText(const char16_t* a, const std::u16string& b) {
    return std::u16string_view(a) == b;
}

bool DiInstallDevice(HWnd, HDevInfo set, DevInfoData* device, DrvInfoData* driver, uint32_t,
                     bool* needReboot) {
    if (needReboot) *needReboot = false;
    if (!ExportWorks(sim::kHostNewdevDiInstallDevice)) return false;
    auto member = sim::FindMember(set, device);
    if (!member) return false;
    sim::DeviceInstallData& data = *member->data;
    std::optional<sim::DriverEntry> chosen;
    if (driver != nullptr) {
        // The driver given must be one of the device's compatible drivers.
        if (driver->cbSize != sizeof(DrvInfoData)) return FailWith(kErrorInvalidUserBuffer);
        if (!data.compatDrivers && !sim::BuildDriverList(*member, kSpditCompatDriver)) return false;
        for (const auto& entry : *data.compatDrivers) {
            if (SameText(driver->description, entry.description) &&
                SameText(driver->providerName, entry.provider) &&
                SameText(driver->mfgName, entry.manufacturer)) {
                chosen = entry;
                break;
            }
        }
        if (!chosen) return FailWith(kErrorInvalidParameter);
    } else {
        // No driver: the selected one, else the best of the compatible drivers.
        if (!data.selectedDriver && !sim::SelectBestCompatDriver(*member)) return false;
        chosen = data.selectedDriver;
    }
    const auto flag = sim::InstallMemberDriver(*member, *chosen);
    if (flag && needReboot) *needReboot = *flag != 0;
    return flag.has_value();
}

bool InstallSelectedDriver(HWnd, HDevInfo set, const char16_t*, bool, uint32_t* reboot) {
    if (reboot) *reboot = 0;
    if (!ExportWorks(sim::kHostNewdevInstallSelectedDriver)) return false;
    auto member = sim::FindMemberOrSelected(set, nullptr);
    if (!member) return false;
    if (!member->data->selectedDriver) return FailWith(kErrorNoDriverSelected);
    const auto flag = sim::InstallMemberDriver(*member, *member->data->selectedDriver);
    if (flag && reboot) *reboot = *flag;
    return flag.has_value();
}

bool UpdateDriverForPlugAndPlayDevices(HWnd, const char16_t* hardwareId, const char16_t* fullInfPath,
                                       uint32_t installFlags, bool* rebootRequired) {
    if (rebootRequired) *rebootRequired = false;
    if (!ExportWorks(sim::kHostNewdevUpdateDriver)) return false;
    if (hardwareId == nullptr || hardwareId[0] == u'\0' || fullInfPath == nullptr)
        return FailWith(kErrorInvalidParameter);
    constexpr uint32_t kKnownFlags = kInstallFlagForce | 0x2 | 0x4;  // READONLY, NONINTERACTIVE
    if ((installFlags & ~kKnownFlags) != 0) return FailWith(kErrorInvalidFlags);
    return sim::UpdateDevicesWithHardwareId(hardwareId, fullInfPath, (installFlags & kInstallFlagForce) != 0,
                                            rebootRequired);
}

}  // namespace

HModule LoadLibrary(const char16_t* fileName) {
    if (fileName == nullptr) return FailWith(kErrorInvalidParameter, nullptr);
    std::u16string_view name(fileName);
    if (const size_t slash = name.find_last_of(u"\\/"); slash != std::u16string_view::npos)
        name = name.substr(slash + 1);
    const bool newdev = sim::EqualsIgnoreCase(name, u"newdev.dll") || sim::EqualsIgnoreCase(name, u"newdev");
    if (!newdev || sim::ReadHostValue(sim::kHostNewdevLibrary).value_or(1) == 0)
        return FailWith(kErrorModNotFound, nullptr);
    return sim::Succeed(sim::NewHandle<LoadedModule, HModule>(std::make_unique<LoadedModule>()));
}

bool FreeLibrary(HModule module) {
    return sim::Close<LoadedModule>(module) || FailWith(kErrorInvalidHandle);
}

void* GetProcAddress(HModule module, const char* exportName) {
    if (sim::FindOrFail<LoadedModule>(module) == nullptr) return nullptr;
    const struct {
        std::string_view name;
        std::u16string_view hostValue;
        void* address;
    } exports[] = {
        {"DiInstallDevice", sim::kHostNewdevDiInstallDevice, reinterpret_cast<void*>(&DiInstallDevice)},
        {"InstallSelectedDriver", sim::kHostNewdevInstallSelectedDriver,
         reinterpret_cast<void*>(&InstallSelectedDriver)},
        {"UpdateDriverForPlugAndPlayDevicesW", sim::kHostNewdevUpdateDriver,
         reinterpret_cast<void*>(&UpdateDriverForPlugAndPlayDevices)},
    };
    for (const auto& e : exports) {
        if (exportName == nullptr || e.name != exportName) continue;
        if (sim::ReadHostValue(e.hostValue).value_or(sim::kExportWorks) == sim::kExportMissing) break;
        return e.address;
    }
    return FailWith(kErrorProcNotFound, nullptr);
}

bool CallDiInstallDevice(void* address, HWnd parent, HDevInfo set, DevInfoData* device, DrvInfoData* driver,
                         uint32_t flags, bool* needReboot) {
    return reinterpret_cast<decltype(&DiInstallDevice)>(address)(parent, set, device, driver, flags,
                                                                 needReboot);
}

bool CallInstallSelectedDriver(void* address, HWnd parent, HDevInfo set, const char16_t* reserved,
                               bool backup, uint32_t* reboot) {
    return reinterpret_cast<decltype(&InstallSelectedDriver)>(address)(parent, set, reserved, backup, reboot);
}

bool CallUpdateDriverForPlugAndPlayDevices(void* address, HWnd parent, const char16_t* hardwareId,
                                           const char16_t* fullInfPath, uint32_t installFlags,
                                           bool* rebootRequired) {
    return reinterpret_cast<decltype(&UpdateDriverForPlugAndPlayDevices)>(address)(
        parent, hardwareId, fullInfPath, installFlags, rebootRequired);
}

}  // namespace qv::newdev
