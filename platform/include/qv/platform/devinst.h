// Device-installation port: the SetupAPI and configuration-manager calls the programs make.
// Win32-shaped: device information sets are handles, devices are SP_DEVINFO_DATA-like records,
// results are BOOL plus the thread's last error (GetLastError) or CONFIGRET.
//
// Enumeration, properties, driver keys and instance ids; device creation and removal,
// class-installer calls, install and class-install parameters, driver lists and state change.
// INF files are in inf.h, newdev.dll in newdev.h.
#pragma once

#include <cstdint>

#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/platform/wintypes.h"

namespace qv {

struct DevInfoSetTag;
using HDevInfo = DevInfoSetTag*;
inline HDevInfo const kInvalidDevInfo = reinterpret_cast<HDevInfo>(static_cast<intptr_t>(-1));

// SP_DEVINFO_DATA.
struct DevInfoData {
    uint32_t cbSize = sizeof(DevInfoData);
    Guid classGuid{};
    uint32_t devInst = 0;
    uintptr_t reserved = 0;
};

// SetupDiGetClassDevs flags.
constexpr uint32_t kDigcfDefault = 0x01;
constexpr uint32_t kDigcfPresent = 0x02;
constexpr uint32_t kDigcfAllClasses = 0x04;
constexpr uint32_t kDigcfProfile = 0x08;
constexpr uint32_t kDigcfDeviceInterface = 0x10;

// Device registry properties (SPDRP_*).
constexpr uint32_t kSpdrpDeviceDesc = 0x00;
constexpr uint32_t kSpdrpHardwareId = 0x01;
constexpr uint32_t kSpdrpCompatibleIds = 0x02;
constexpr uint32_t kSpdrpService = 0x04;
constexpr uint32_t kSpdrpClass = 0x07;
constexpr uint32_t kSpdrpClassGuid = 0x08;
constexpr uint32_t kSpdrpDriver = 0x09;
constexpr uint32_t kSpdrpMfg = 0x0B;
constexpr uint32_t kSpdrpFriendlyName = 0x0C;
constexpr uint32_t kSpdrpInstallState = 0x22;

// SetupDiOpenDevRegKey scopes and key kinds.
constexpr uint32_t kDicsFlagGlobal = 0x01;
constexpr uint32_t kDicsFlagConfigSpecific = 0x02;
constexpr uint32_t kDiregDev = 0x01;
constexpr uint32_t kDiregDrv = 0x02;

// Device instance id buffer length (MAX_DEVICE_ID_LEN).
constexpr uint32_t kMaxDeviceIdLength = 200;

// Install states reported as SPDRP_INSTALL_STATE (CM_INSTALL_STATE_*).
constexpr uint32_t kInstallStateInstalled = 0;

// SetupDiCreateDeviceInfoW flags.
constexpr uint32_t kDicdGenerateId = 0x1;
constexpr uint32_t kDicdInheritClassdrvs = 0x2;

// Class-installer functions (DIF_*).
constexpr uint32_t kDifSelectDevice = 0x01;
constexpr uint32_t kDifInstallDevice = 0x02;
constexpr uint32_t kDifRemove = 0x05;
constexpr uint32_t kDifPropertyChange = 0x12;
constexpr uint32_t kDifSelectBestCompatDrv = 0x17;
constexpr uint32_t kDifRegisterDevice = 0x19;

// Device install parameter flags (DI_*) and extended flags (DI_FLAGSEX_*).
constexpr uint32_t kDiNeedRestart = 0x00000080;
constexpr uint32_t kDiNeedReboot = 0x00000100;
constexpr uint32_t kDiEnumSingleInf = 0x00010000;
constexpr uint32_t kDiDoNotCallConfigMg = 0x00020000;
constexpr uint32_t kDiClassInstallParams = 0x00100000;  // set while class-install parameters are set
constexpr uint32_t kDiFlagsExAllowExcludedDrvs = 0x00000800;

// SP_DEVINSTALL_PARAMS_W, field for field (the pointers are the backend's own).
struct DevInstallParams {
    uint32_t cbSize = sizeof(DevInstallParams);
    uint32_t flags = 0;
    uint32_t flagsEx = 0;
    HWnd hwndParent = nullptr;
    void* installMsgHandler = nullptr;
    void* installMsgHandlerContext = nullptr;
    void* fileQueue = nullptr;
    uintptr_t classInstallReserved = 0;
    uint32_t reserved = 0;
    char16_t driverPath[260] = {};
};

// SP_CLASSINSTALL_HEADER and the two class-install parameter records the programs set.
struct ClassInstallHeader {
    uint32_t cbSize = sizeof(ClassInstallHeader);
    uint32_t installFunction = 0;
};
constexpr uint32_t kDicsEnable = 0x1;
constexpr uint32_t kDicsDisable = 0x2;
constexpr uint32_t kDicsPropChange = 0x3;
constexpr uint32_t kDiRemoveDeviceGlobal = 0x1;
constexpr uint32_t kDiRemoveDeviceConfigSpecific = 0x2;
// SP_PROPCHANGE_PARAMS.
struct PropChangeParams {
    ClassInstallHeader header{sizeof(ClassInstallHeader), kDifPropertyChange};
    uint32_t stateChange = 0;
    uint32_t scope = 0;
    uint32_t hwProfile = 0;
};
// SP_REMOVEDEVICE_PARAMS.
struct RemoveDeviceParams {
    ClassInstallHeader header{sizeof(ClassInstallHeader), kDifRemove};
    uint32_t scope = 0;
    uint32_t hwProfile = 0;
};

// Driver lists (SPDIT_*) and SP_DRVINFO_DATA_V2_W.
constexpr uint32_t kSpditClassDriver = 0x1;
constexpr uint32_t kSpditCompatDriver = 0x2;
// The 32-bit Windows headers pack the SetupAPI records to one byte, which moves driverDate and
// driverVersion off their natural alignment there; the record keeps the system's layout.
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 1)
#endif
struct DrvInfoData {
    uint32_t cbSize = sizeof(DrvInfoData);
    uint32_t driverType = 0;
    uintptr_t reserved = 0;
    char16_t description[256] = {};
    char16_t mfgName[256] = {};
    char16_t providerName[256] = {};
    uint64_t driverDate = 0;  // FILETIME
    uint64_t driverVersion = 0;
};
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
#endif

namespace dev {

// SetupDiGetClassDevsW: a set of the devices of one setup class (flags as above).
HDevInfo GetClassDevs(const Guid* classGuid, const char16_t* enumerator, HWnd parent, uint32_t flags);
// SetupDiEnumDeviceInfo: false with last error kErrorNoMoreItems past the end.
bool EnumDeviceInfo(HDevInfo set, uint32_t index, DevInfoData* device);
// SetupDiDestroyDeviceInfoList.
bool DestroyDeviceInfoList(HDevInfo set);
// SetupDiGetDeviceRegistryPropertyW: false with kErrorInsufficientBuffer (and *requiredSize set)
// when the buffer is too small, kErrorInvalidData when the device has no such property.
bool GetDeviceRegistryProperty(HDevInfo set, DevInfoData* device, uint32_t property, uint32_t* regType,
                               uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize);
// SetupDiSetDeviceRegistryPropertyW: FriendlyName, DeviceDesc, HardwareID and CompatibleIDs can be
// written (others give kErrorInvalidRegProperty); a null buffer with size 0 deletes the property.
bool SetDeviceRegistryProperty(HDevInfo set, DevInfoData* device, uint32_t property, const uint8_t* buffer,
                               uint32_t bufferSize);
// SetupDiOpenDevRegKey: kInvalidHKey on failure.
HKey OpenDevRegKey(HDevInfo set, DevInfoData* device, uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                   uint32_t samDesired);
// SetupDiCreateDeviceInfoList: an empty set, for classGuid's class when given.
HDevInfo CreateDeviceInfoList(const Guid* classGuid, HWnd parent);
// SetupDiCreateDeviceInfoW: a new device in set, not yet registered. With kDicdGenerateId,
// deviceName is a class name and the instance becomes ROOT\<name>\NNNN (the first free number).
bool CreateDeviceInfo(HDevInfo set, const char16_t* deviceName, const Guid& classGuid,
                      const char16_t* deviceDescription, HWnd parent, uint32_t creationFlags,
                      DevInfoData* device);
// SetupDiCallClassInstaller: DIF_REGISTERDEVICE makes a created device a device node,
// DIF_SELECTBESTCOMPATDRV selects the best driver of the device's compatible-driver list,
// DIF_PROPERTYCHANGE applies the class-install parameters set before, DIF_REMOVE removes it.
bool CallClassInstaller(uint32_t installFunction, HDevInfo set, DevInfoData* device);
// SetupDiGetDeviceInstallParamsW / SetupDiSetDeviceInstallParamsW.
bool GetDeviceInstallParams(HDevInfo set, DevInfoData* device, DevInstallParams* params);
bool SetDeviceInstallParams(HDevInfo set, DevInfoData* device, const DevInstallParams* params);
// SetupDiSetClassInstallParamsW: params points at a PropChangeParams or RemoveDeviceParams header.
bool SetClassInstallParams(HDevInfo set, DevInfoData* device, const ClassInstallHeader* params, uint32_t size);
// SetupDiChangeState: applies the DIF_PROPERTYCHANGE parameters set before (enable, disable).
bool ChangeState(HDevInfo set, DevInfoData* device);
// SetupDiRemoveDevice: removes the device with the DIF_REMOVE parameters set before.
bool RemoveDevice(HDevInfo set, DevInfoData* device);
// SetupDiSetSelectedDevice.
bool SetSelectedDevice(HDevInfo set, DevInfoData* device);
// SetupDiBuildDriverInfoList / SetupDiDestroyDriverInfoList / SetupDiGetSelectedDriverW.
bool BuildDriverInfoList(HDevInfo set, DevInfoData* device, uint32_t driverType);
bool DestroyDriverInfoList(HDevInfo set, DevInfoData* device, uint32_t driverType);
bool GetSelectedDriver(HDevInfo set, DevInfoData* device, DrvInfoData* driver);

// CM_Get_Device_IDW: the device instance id of devInst, with terminator, into buffer (length in units).
// kCrBufferSmall, with nothing copied, when the id and its terminator do not fit.
ConfigRet GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags);

// CM_Get_DevNode_Status: the node's status bits (kDn*) and its problem number (kCmProb*, valid with
// kDnHasProblem). kCrNoSuchDevinst for a device that is not present.
constexpr uint32_t kDnDriverLoaded = 0x2;
constexpr uint32_t kDnStarted = 0x8;
constexpr uint32_t kDnHasProblem = 0x400;
constexpr uint32_t kCmProbDisabled = 0x16;
ConfigRet GetDevNodeStatus(uint32_t* status, uint32_t* problem, uint32_t devInst, uint32_t flags);

}  // namespace dev
}  // namespace qv
