// Device-installation port: the SetupAPI and configuration-manager calls the programs make.
// Win32-shaped: device information sets are handles, devices are SP_DEVINFO_DATA-like records,
// results are BOOL plus the thread's last error (GetLastError) or CONFIGRET.
//
// This covers enumeration, properties, driver keys and instance ids. Device creation,
// class-installer calls, install parameters, state change, INF access and newdev join this header
// (or a sibling) in the same style when the installation flows need them.
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
// CM_Get_Device_IDW: the device instance id of devInst, with terminator, into buffer (length in units).
// kCrBufferSmall, with nothing copied, when the id and its terminator do not fit.
ConfigRet GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags);

}  // namespace dev
}  // namespace qv
