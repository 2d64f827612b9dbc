// Driver lists on the simulated host (SetupDiBuildDriverInfoList, DIF_SELECTBESTCOMPATDRV,
// SetupDiGetSelectedDriverW, SetupDiDestroyDriverInfoList), read from the machine's INF files
// through the INF and file ports, as SetupAPI reads them.
//
// A compatible-driver list holds every models line of an INF of the device's class that names one
// of the device's hardware or compatible ids, from all INFs of the Windows Inf directory or, with
// DI_ENUMSINGLEINF, from the install parameters' DriverPath only. A class-driver list holds every
// models line of the class; lines that [ControlFlags] ExcludeFromSelect names are left out of it
// unless DI_FLAGSEX_ALLOWEXCLUDEDDRVS is set.
#include <algorithm>

#include "device_install.h"
#include "device_node.h"
#include "driver_inf.h"
#include "qv/platform/files.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/text_out.h"

namespace qv::sim {
namespace {

// What the driver search needs of the device: from its node, or from a created device's properties.
struct DeviceIdentity {
    std::vector<std::u16string> hardwareIds, compatibleIds;
    std::u16string classGuid;
};
DeviceIdentity IdentityOf(const SetMember& member) {
    const DeviceInstallData& data = *member.data;
    if (!data.registered)
        return {PendingList(data, kSpdrpHardwareId), PendingList(data, kSpdrpCompatibleIds), data.classGuid};
    DeviceIdentity identity;
    RegKey node;
    if (RegKey::Open(DeviceNodePath(member.instanceId), kKeyQueryValue, &node) != kErrorSuccess)
        return identity;
    identity.hardwareIds = node.ReadMultiString(u"HardwareID").value_or(std::vector<std::u16string>{});
    identity.compatibleIds = node.ReadMultiString(u"CompatibleIDs").value_or(std::vector<std::u16string>{});
    identity.classGuid = node.ReadString(u"ClassGUID").value_or(u"");
    return identity;
}

// Full paths of the INF files of the Windows Inf directory, in the order the search gives them.
std::vector<std::u16string> InstalledInfFiles() {
    std::vector<std::u16string> paths;
    char16_t windows[kMaxPath];
    const uint32_t length = file::GetSystemWindowsDirectory(windows, kMaxPath);
    if (length == 0 || length >= kMaxPath) return paths;
    std::u16string dir(windows, length);
    if (dir.back() != u'\\' && dir.back() != u'/') dir += u'\\';
    dir += u"Inf\\";
    FindData data;
    HFind find = file::FindFirstFile((dir + u"*.inf").c_str(), &data);
    if (find == kInvalidFind) return paths;
    do {
        if ((data.attributes & kFileAttributeDirectory) == 0) paths.push_back(dir + data.fileName);
    } while (paths.size() < 4096 && file::FindNextFile(find, &data));
    file::FindClose(find);
    return paths;
}

}  // namespace

bool BuildDriverList(SetMember& member, uint32_t driverType) {
    if (driverType != kSpditCompatDriver && driverType != kSpditClassDriver)
        return FailWith(kErrorInvalidParameter);
    DeviceInstallData& data = *member.data;
    if (data.removed) return FailWith(kErrorNoSuchDevinst);
    std::vector<std::u16string> infs;
    if ((data.params.flags & kDiEnumSingleInf) != 0) {
        if (data.params.driverPath[0] == u'\0') return FailWith(kErrorInvalidParameter);
        infs.emplace_back(data.params.driverPath);
    } else {
        infs = InstalledInfFiles();
    }
    const DeviceIdentity device = IdentityOf(member);
    const bool allowExcluded = (data.params.flagsEx & kDiFlagsExAllowExcludedDrvs) != 0;

    std::vector<DriverEntry> list;
    for (const auto& inf : infs) {
        for (auto& driver : ReadInfDrivers(inf)) {
            if (!device.classGuid.empty() && !EqualsIgnoreCase(driver.classGuid, device.classGuid)) continue;
            if (driverType == kSpditCompatDriver) {
                const auto rank = RankDriver(&driver, device.hardwareIds, device.compatibleIds);
                if (!rank) continue;
                driver.rank = *rank;
            } else if (driver.excluded && !allowExcluded) {
                continue;
            }
            list.push_back(std::move(driver));
        }
    }
    (driverType == kSpditCompatDriver ? data.compatDrivers : data.classDrivers) = std::move(list);
    return Succeed();
}

bool SelectBestCompatDriver(SetMember& member) {
    DeviceInstallData& data = *member.data;
    if (!data.compatDrivers && !BuildDriverList(member, kSpditCompatDriver)) return false;
    const auto& list = *data.compatDrivers;
    if (list.empty()) return FailWith(kErrorNoCompatDrivers);
    // The best rank; among equals the newest date, then the highest version, then the first.
    const auto best =
        std::min_element(list.begin(), list.end(), [](const DriverEntry& a, const DriverEntry& b) {
            if (a.rank != b.rank) return a.rank < b.rank;
            if (a.fileTime != b.fileTime) return a.fileTime > b.fileTime;
            return a.version > b.version;
        });
    data.selectedDriver = *best;
    return Succeed();
}

}  // namespace qv::sim

namespace qv::dev {

using sim::FailWith;

bool BuildDriverInfoList(HDevInfo set, DevInfoData* device, uint32_t driverType) {
    auto member = sim::FindMember(set, device);
    return member && sim::BuildDriverList(*member, driverType);
}

bool DestroyDriverInfoList(HDevInfo set, DevInfoData* device, uint32_t driverType) {
    auto member = sim::FindMember(set, device);
    if (!member) return false;
    if (driverType == kSpditCompatDriver) {
        member->data->compatDrivers.reset();
        member->data->selectedDriver.reset();  // the selection came from that list
    } else if (driverType == kSpditClassDriver) {
        member->data->classDrivers.reset();
    } else {
        return FailWith(kErrorInvalidParameter);
    }
    return true;
}

bool GetSelectedDriver(HDevInfo set, DevInfoData* device, DrvInfoData* driver) {
    auto member = sim::FindMemberOrSelected(set, device);
    if (!member) return false;
    if (driver == nullptr || driver->cbSize != sizeof(DrvInfoData)) return FailWith(kErrorInvalidUserBuffer);
    const auto& selected = member->data->selectedDriver;
    if (!selected) return FailWith(kErrorNoDriverSelected);
    driver->driverType = kSpditCompatDriver;
    driver->reserved = 0;
    sim::CopyTextCut(selected->description, driver->description, std::size(driver->description));
    sim::CopyTextCut(selected->manufacturer, driver->mfgName, std::size(driver->mfgName));
    sim::CopyTextCut(selected->provider, driver->providerName, std::size(driver->providerName));
    driver->driverDate = selected->fileTime;
    driver->driverVersion = selected->version;
    return true;
}

}  // namespace qv::dev
