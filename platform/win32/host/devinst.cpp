// The device-installation port on Windows: SetupAPI and configuration-manager pass-throughs.
#include "qv/platform/devinst.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
// clang-format on

#include <cstddef>

namespace qv::dev {
namespace {

static_assert(sizeof(DevInfoData) == sizeof(SP_DEVINFO_DATA), "DevInfoData mirrors SP_DEVINFO_DATA");
static_assert(offsetof(DevInfoData, classGuid) == offsetof(SP_DEVINFO_DATA, ClassGuid));
static_assert(offsetof(DevInfoData, devInst) == offsetof(SP_DEVINFO_DATA, DevInst));
static_assert(offsetof(DevInfoData, reserved) == offsetof(SP_DEVINFO_DATA, Reserved));
static_assert(sizeof(Guid) == sizeof(GUID));

HDEVINFO Native(HDevInfo set) {
    return reinterpret_cast<HDEVINFO>(set);
}
SP_DEVINFO_DATA* Native(DevInfoData* device) {
    return reinterpret_cast<SP_DEVINFO_DATA*>(device);
}

}  // namespace

HDevInfo GetClassDevs(const Guid* classGuid, const char16_t* enumerator, HWnd parent, uint32_t flags) {
    HDEVINFO set =
        SetupDiGetClassDevsW(reinterpret_cast<const GUID*>(classGuid),
                             reinterpret_cast<const wchar_t*>(enumerator), static_cast<HWND>(parent), flags);
    return set == INVALID_HANDLE_VALUE ? kInvalidDevInfo : reinterpret_cast<HDevInfo>(set);
}

bool EnumDeviceInfo(HDevInfo set, uint32_t index, DevInfoData* device) {
    return SetupDiEnumDeviceInfo(Native(set), index, Native(device)) != FALSE;
}

bool DestroyDeviceInfoList(HDevInfo set) {
    return SetupDiDestroyDeviceInfoList(Native(set)) != FALSE;
}

bool GetDeviceRegistryProperty(HDevInfo set, DevInfoData* device, uint32_t property, uint32_t* regType,
                               uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize) {
    return SetupDiGetDeviceRegistryPropertyW(Native(set), Native(device), property,
                                             reinterpret_cast<DWORD*>(regType), buffer, bufferSize,
                                             reinterpret_cast<DWORD*>(requiredSize)) != FALSE;
}

bool SetDeviceRegistryProperty(HDevInfo set, DevInfoData* device, uint32_t property, const uint8_t* buffer,
                               uint32_t bufferSize) {
    return SetupDiSetDeviceRegistryPropertyW(Native(set), Native(device), property, buffer, bufferSize) !=
           FALSE;
}

HKey OpenDevRegKey(HDevInfo set, DevInfoData* device, uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                   uint32_t samDesired) {
    HKEY key = SetupDiOpenDevRegKey(Native(set), Native(device), scope, hwProfile, keyType, samDesired);
    return key == INVALID_HANDLE_VALUE ? kInvalidHKey : reinterpret_cast<HKey>(key);
}

ConfigRet GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags) {
    return CM_Get_Device_IDW(devInst, reinterpret_cast<wchar_t*>(buffer), bufferLength, flags);
}

ConfigRet GetDevNodeStatus(uint32_t* status, uint32_t* problem, uint32_t devInst, uint32_t flags) {
    ULONG nativeStatus = 0;
    ULONG nativeProblem = 0;
    const ConfigRet result = CM_Get_DevNode_Status(&nativeStatus, &nativeProblem, devInst, flags);
    *status = nativeStatus;
    *problem = nativeProblem;
    return result;
}

}  // namespace qv::dev
