#include "qv/platform/files.h"
#include "qv/platform/newdev.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/last_error.h"
#include "qv/teamlib/internal/windows_version.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// newdev.dll stays loaded for the one call that uses it.
struct ModuleTraits {
    using Handle = HModule;
    static constexpr HModule kNone = nullptr;
    static bool IsValid(HModule module) { return module != nullptr; }
    static void Close(HModule module) { newdev::FreeLibrary(module); }
};
using ScopedModule = ScopedHandle<ModuleTraits>;

// The compatible-driver list of a device, destroyed when the owner goes out of scope.
class DriverList {
  public:
    DriverList(HDevInfo set, DevInfoData* device)
        : set_(set), device_(device), built_(dev::BuildDriverInfoList(set, device, kSpditCompatDriver)) {}
    ~DriverList() {
        if (built_) dev::DestroyDriverInfoList(set_, device_, kSpditCompatDriver);
    }
    DriverList(const DriverList&) = delete;
    DriverList& operator=(const DriverList&) = delete;
    bool built() const { return built_; }

  private:
    HDevInfo set_;
    DevInfoData* device_;
    bool built_;
};

// Restricts the device's driver search to the one INF, excluded drivers included.
bool SearchOnlyInf(HDevInfo set, DevInfoData* device, const char16_t* fullInfPath) {
    DevInstallParams params;
    if (!dev::GetDeviceInstallParams(set, device, &params)) return false;
    params.flags |= kDiEnumSingleInf;
    params.flagsEx |= kDiFlagsExAllowExcludedDrvs;
    if (!U16CopyInto(params.driverPath, kMaxPath, fullInfPath)) {
        SetLastError(kErrorInsufficientBuffer);
        return false;
    }
    return dev::SetDeviceInstallParams(set, device, &params);
}

// The full path of infPath into buffer (kMaxPath units), false when it cannot be had or is too long.
bool FullPath(const char16_t* infPath, char16_t* buffer) {
    const uint32_t length = file::GetFullPathName(infPath, kMaxPath, buffer, nullptr);
    return length != 0 && length < kMaxPath;
}

}  // namespace

int InstallSelectedDriverForWinXPS03(const char16_t*, const char16_t* fullInfPath, HDevInfo set,
                                     DevInfoData* device, void* installSelectedDriver) {
    QvTrace(u"-->InstallSelectedDriverForWinXPS03:");
    if (!dev::SetSelectedDevice(set, device)) {
        QvTrace(u"<--InstallSelectedDriverForWinXPS03: SetupDiSetSelectedDevice failed 0x%x", GetLastError());
        return 0;
    }
    if (!SearchOnlyInf(set, device, fullInfPath)) {
        QvTrace(u"<--InstallSelectedDriverForWinXPS03: cannot set the install parameters 0x%x",
                GetLastError());
        return 0;
    }
    const DriverList drivers(set, device);
    if (!drivers.built()) {
        QvTrace(u"<--InstallSelectedDriverForWinXPS03: SetupDiBuildDriverInfoList failed 0x%x",
                GetLastError());
        return 0;
    }
    DrvInfoData driver;
    if (!dev::CallClassInstaller(kDifSelectBestCompatDrv, set, device) ||
        !dev::GetSelectedDriver(set, device, &driver)) {
        QvTrace(u"<--InstallSelectedDriverForWinXPS03: no driver selected 0x%x", GetLastError());
        return 0;
    }
    uint32_t reboot = 0;
    if (!newdev::CallInstallSelectedDriver(installSelectedDriver, nullptr, set, nullptr, false, &reboot)) {
        QvTrace(u"<--InstallSelectedDriverForWinXPS03: InstallSelectedDriver failed 0x%x", GetLastError());
        return 0;
    }
    if (reboot & (kDiNeedRestart | kDiNeedReboot)) {
        QvTrace(u"   InstallSelectedDriverForWinXPS03: a restart is asked for (0x%x)", reboot);
    }
    QvTrace(u"<--InstallSelectedDriverForWinXPS03:");
    return 1;
}

int cmdUpdate(const char16_t* hardwareId, const char16_t* infPath, HDevInfo set, DevInfoData* device) {
    QvTrace(u"-->cmdUpdate:");
    char16_t fullPath[kMaxPath] = {};
    if (!FullPath(infPath, fullPath)) {
        QvTrace(u"<--cmdUpdate: no full path for the INF");
        return QV_INSTALL_FAILED;
    }
    if (file::GetFileAttributes(fullPath) == kInvalidFileAttributes) {
        QvTrace(u"<--cmdUpdate: %s not found", fullPath);
        return QV_INSTALL_FAILED;
    }
    KeptLastError failure;  // destroyed after the library is released
    const ScopedModule library(newdev::LoadLibrary(u"newdev.dll"));
    if (!library.valid()) {
        QvTrace(u"<--cmdUpdate: cannot load newdev.dll 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    void* diInstallDevice = newdev::GetProcAddress(library.get(), "DiInstallDevice");
    void* installSelectedDriver = newdev::GetProcAddress(library.get(), "InstallSelectedDriver");
    void* updateDriver = newdev::GetProcAddress(library.get(), "UpdateDriverForPlugAndPlayDevicesW");

    OsVersionInfo version;
    if (ReadWindowsVersion(&version) && version.majorVersion == 5 && installSelectedDriver != nullptr &&
        InstallSelectedDriverForWinXPS03(hardwareId, fullPath, set, device, installSelectedDriver)) {
        QvTrace(u"<--cmdUpdate: installed by InstallSelectedDriver");
        return QV_INSTALL_OK;
    }
    bool reboot = false;
    if (diInstallDevice != nullptr) {
        if (newdev::CallDiInstallDevice(diInstallDevice, nullptr, set, device, nullptr, 0, &reboot)) {
            QvTrace(u"<--cmdUpdate: installed by DiInstallDevice");
            return QV_INSTALL_OK;
        }
        QvTrace(u"   cmdUpdate: DiInstallDevice failed 0x%x", GetLastError());
    }
    if (updateDriver == nullptr) {
        failure.Keep();
        QvTrace(u"<--cmdUpdate: no installation export left");
        return QV_INSTALL_FAILED;
    }
    // A failure here is a failure of the installation: the caller removes the half-made device.
    if (!newdev::CallUpdateDriverForPlugAndPlayDevices(updateDriver, nullptr, hardwareId, fullPath,
                                                       kInstallFlagForce, &reboot)) {
        failure.Keep();
        QvTrace(u"<--cmdUpdate: UpdateDriverForPlugAndPlayDevices failed 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    QvTrace(u"<--cmdUpdate: installed by UpdateDriverForPlugAndPlayDevices");
    return QV_INSTALL_OK;
}

}  // namespace qv
