// The device-installation port on Windows, second half: device creation, the class installer,
// install and class-install parameters, state change, removal and driver lists, passed through to
// SetupAPI. The static_asserts prove that the port's records and constants are Windows' own.
#include "qv/platform/devinst.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <cstddef>

namespace qv::dev {
namespace {

static_assert(sizeof(DevInstallParams) == sizeof(SP_DEVINSTALL_PARAMS_W));
static_assert(offsetof(DevInstallParams, flags) == offsetof(SP_DEVINSTALL_PARAMS_W, Flags));
static_assert(offsetof(DevInstallParams, flagsEx) == offsetof(SP_DEVINSTALL_PARAMS_W, FlagsEx));
static_assert(offsetof(DevInstallParams, hwndParent) == offsetof(SP_DEVINSTALL_PARAMS_W, hwndParent));
static_assert(offsetof(DevInstallParams, installMsgHandler) ==
              offsetof(SP_DEVINSTALL_PARAMS_W, InstallMsgHandler));
static_assert(offsetof(DevInstallParams, installMsgHandlerContext) ==
              offsetof(SP_DEVINSTALL_PARAMS_W, InstallMsgHandlerContext));
static_assert(offsetof(DevInstallParams, fileQueue) == offsetof(SP_DEVINSTALL_PARAMS_W, FileQueue));
static_assert(offsetof(DevInstallParams, classInstallReserved) ==
              offsetof(SP_DEVINSTALL_PARAMS_W, ClassInstallReserved));
static_assert(offsetof(DevInstallParams, reserved) == offsetof(SP_DEVINSTALL_PARAMS_W, Reserved));
static_assert(offsetof(DevInstallParams, driverPath) == offsetof(SP_DEVINSTALL_PARAMS_W, DriverPath));

static_assert(sizeof(ClassInstallHeader) == sizeof(SP_CLASSINSTALL_HEADER));
static_assert(offsetof(ClassInstallHeader, installFunction) ==
              offsetof(SP_CLASSINSTALL_HEADER, InstallFunction));
static_assert(sizeof(PropChangeParams) == sizeof(SP_PROPCHANGE_PARAMS));
static_assert(offsetof(PropChangeParams, stateChange) == offsetof(SP_PROPCHANGE_PARAMS, StateChange));
static_assert(offsetof(PropChangeParams, scope) == offsetof(SP_PROPCHANGE_PARAMS, Scope));
static_assert(offsetof(PropChangeParams, hwProfile) == offsetof(SP_PROPCHANGE_PARAMS, HwProfile));
static_assert(sizeof(RemoveDeviceParams) == sizeof(SP_REMOVEDEVICE_PARAMS));
static_assert(offsetof(RemoveDeviceParams, scope) == offsetof(SP_REMOVEDEVICE_PARAMS, Scope));
static_assert(offsetof(RemoveDeviceParams, hwProfile) == offsetof(SP_REMOVEDEVICE_PARAMS, HwProfile));

static_assert(sizeof(DrvInfoData) == sizeof(SP_DRVINFO_DATA_V2_W));
static_assert(offsetof(DrvInfoData, driverType) == offsetof(SP_DRVINFO_DATA_V2_W, DriverType));
static_assert(offsetof(DrvInfoData, reserved) == offsetof(SP_DRVINFO_DATA_V2_W, Reserved));
static_assert(offsetof(DrvInfoData, description) == offsetof(SP_DRVINFO_DATA_V2_W, Description));
static_assert(offsetof(DrvInfoData, mfgName) == offsetof(SP_DRVINFO_DATA_V2_W, MfgName));
static_assert(offsetof(DrvInfoData, providerName) == offsetof(SP_DRVINFO_DATA_V2_W, ProviderName));
static_assert(offsetof(DrvInfoData, driverDate) == offsetof(SP_DRVINFO_DATA_V2_W, DriverDate));
static_assert(offsetof(DrvInfoData, driverVersion) == offsetof(SP_DRVINFO_DATA_V2_W, DriverVersion));

static_assert(kDicdGenerateId == DICD_GENERATE_ID && kDicdInheritClassdrvs == DICD_INHERIT_CLASSDRVS);
static_assert(kDifSelectDevice == DIF_SELECTDEVICE && kDifInstallDevice == DIF_INSTALLDEVICE);
static_assert(kDifRemove == DIF_REMOVE && kDifPropertyChange == DIF_PROPERTYCHANGE);
static_assert(kDifSelectBestCompatDrv == DIF_SELECTBESTCOMPATDRV && kDifRegisterDevice == DIF_REGISTERDEVICE);
static_assert(kDiNeedRestart == DI_NEEDRESTART && kDiNeedReboot == DI_NEEDREBOOT);
static_assert(kDiEnumSingleInf == DI_ENUMSINGLEINF && kDiDoNotCallConfigMg == DI_DONOTCALLCONFIGMG);
static_assert(kDiClassInstallParams == DI_CLASSINSTALLPARAMS);
static_assert(kDiFlagsExAllowExcludedDrvs == DI_FLAGSEX_ALLOWEXCLUDEDDRVS);
static_assert(kDicsEnable == DICS_ENABLE && kDicsDisable == DICS_DISABLE &&
              kDicsPropChange == DICS_PROPCHANGE);
static_assert(kDicsFlagGlobal == DICS_FLAG_GLOBAL && kDicsFlagConfigSpecific == DICS_FLAG_CONFIGSPECIFIC);
static_assert(kDiRemoveDeviceGlobal == DI_REMOVEDEVICE_GLOBAL &&
              kDiRemoveDeviceConfigSpecific == DI_REMOVEDEVICE_CONFIGSPECIFIC);
static_assert(kSpditClassDriver == SPDIT_CLASSDRIVER && kSpditCompatDriver == SPDIT_COMPATDRIVER);

static_assert(kErrorNoDriverSelected == ERROR_NO_DRIVER_SELECTED);
static_assert(kErrorInvalidDevinstName == ERROR_INVALID_DEVINST_NAME);
static_assert(kErrorDevinstAlreadyExists == ERROR_DEVINST_ALREADY_EXISTS);
static_assert(kErrorDevinfoNotRegistered == ERROR_DEVINFO_NOT_REGISTERED);
static_assert(kErrorNoSuchDevinst == ERROR_NO_SUCH_DEVINST);
static_assert(kErrorNoDeviceSelected == ERROR_NO_DEVICE_SELECTED);
static_assert(kErrorNoClassinstallParams == ERROR_NO_CLASSINSTALL_PARAMS);
static_assert(kErrorNoCompatDrivers == ERROR_NO_COMPAT_DRIVERS);
static_assert(kErrorClassMismatch == ERROR_CLASS_MISMATCH);
static_assert(kErrorInvalidClass == ERROR_INVALID_CLASS);
static_assert(kErrorInvalidRegProperty == ERROR_INVALID_REG_PROPERTY);

HDEVINFO Native(HDevInfo set) {
    return reinterpret_cast<HDEVINFO>(set);
}
SP_DEVINFO_DATA* Native(DevInfoData* device) {
    return reinterpret_cast<SP_DEVINFO_DATA*>(device);
}

}  // namespace

HDevInfo CreateDeviceInfoList(const Guid* classGuid, HWnd parent) {
    HDEVINFO set =
        SetupDiCreateDeviceInfoList(reinterpret_cast<const GUID*>(classGuid), static_cast<HWND>(parent));
    return set == INVALID_HANDLE_VALUE ? kInvalidDevInfo : reinterpret_cast<HDevInfo>(set);
}

bool CreateDeviceInfo(HDevInfo set, const char16_t* deviceName, const Guid& classGuid,
                      const char16_t* deviceDescription, HWnd parent, uint32_t creationFlags,
                      DevInfoData* device) {
    return SetupDiCreateDeviceInfoW(Native(set), reinterpret_cast<const wchar_t*>(deviceName),
                                    reinterpret_cast<const GUID*>(&classGuid),
                                    reinterpret_cast<const wchar_t*>(deviceDescription),
                                    static_cast<HWND>(parent), creationFlags, Native(device)) != FALSE;
}

bool CallClassInstaller(uint32_t installFunction, HDevInfo set, DevInfoData* device) {
    return SetupDiCallClassInstaller(installFunction, Native(set), Native(device)) != FALSE;
}

bool GetDeviceInstallParams(HDevInfo set, DevInfoData* device, DevInstallParams* params) {
    return SetupDiGetDeviceInstallParamsW(Native(set), Native(device),
                                          reinterpret_cast<SP_DEVINSTALL_PARAMS_W*>(params)) != FALSE;
}

bool SetDeviceInstallParams(HDevInfo set, DevInfoData* device, const DevInstallParams* params) {
    return SetupDiSetDeviceInstallParamsW(
               Native(set), Native(device),
               reinterpret_cast<SP_DEVINSTALL_PARAMS_W*>(const_cast<DevInstallParams*>(params))) != FALSE;
}

bool SetClassInstallParams(HDevInfo set, DevInfoData* device, const ClassInstallHeader* params,
                           uint32_t size) {
    return SetupDiSetClassInstallParamsW(
               Native(set), Native(device),
               reinterpret_cast<SP_CLASSINSTALL_HEADER*>(const_cast<ClassInstallHeader*>(params)),
               size) != FALSE;
}

bool ChangeState(HDevInfo set, DevInfoData* device) {
    return SetupDiChangeState(Native(set), Native(device)) != FALSE;
}

bool RemoveDevice(HDevInfo set, DevInfoData* device) {
    return SetupDiRemoveDevice(Native(set), Native(device)) != FALSE;
}

bool SetSelectedDevice(HDevInfo set, DevInfoData* device) {
    return SetupDiSetSelectedDevice(Native(set), Native(device)) != FALSE;
}

bool BuildDriverInfoList(HDevInfo set, DevInfoData* device, uint32_t driverType) {
    return SetupDiBuildDriverInfoList(Native(set), Native(device), driverType) != FALSE;
}

bool DestroyDriverInfoList(HDevInfo set, DevInfoData* device, uint32_t driverType) {
    return SetupDiDestroyDriverInfoList(Native(set), Native(device), driverType) != FALSE;
}

bool GetSelectedDriver(HDevInfo set, DevInfoData* device, DrvInfoData* driver) {
    return SetupDiGetSelectedDriverW(Native(set), Native(device),
                                     reinterpret_cast<SP_DRVINFO_DATA_V2_W*>(driver)) != FALSE;
}

}  // namespace qv::dev
