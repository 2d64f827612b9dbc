// The device-interface lookup of the device I/O port on Windows: SetupAPI's narrow-character calls.
#include <windows.h>
// setupapi.h needs windows.h first.
#include <setupapi.h>

#include "qv/platform/deviceio.h"

namespace qv::dev {
namespace {

static_assert(sizeof(DeviceInterfaceData) == sizeof(SP_DEVICE_INTERFACE_DATA));
static_assert(sizeof(DevInfoData) == sizeof(SP_DEVINFO_DATA));
static_assert(sizeof(Guid) == sizeof(GUID));

HDEVINFO Native(HDevInfo set) {
    return reinterpret_cast<HDEVINFO>(set);
}

}  // namespace

HDevInfo GetClassDevsA(const Guid* classGuid, const char* enumerator, HWnd parent, uint32_t flags) {
    const HDEVINFO set = SetupDiGetClassDevsA(reinterpret_cast<const GUID*>(classGuid), enumerator,
                                              static_cast<HWND>(parent), flags);
    return set == INVALID_HANDLE_VALUE ? kInvalidDevInfo : reinterpret_cast<HDevInfo>(set);
}

bool EnumDeviceInterfaces(HDevInfo set, DevInfoData* device, const Guid* interfaceClassGuid,
                          uint32_t memberIndex, DeviceInterfaceData* interfaceData) {
    return SetupDiEnumDeviceInterfaces(Native(set), reinterpret_cast<PSP_DEVINFO_DATA>(device),
                                       reinterpret_cast<const GUID*>(interfaceClassGuid), memberIndex,
                                       reinterpret_cast<PSP_DEVICE_INTERFACE_DATA>(interfaceData)) != FALSE;
}

bool GetDeviceInterfaceDetailA(HDevInfo set, DeviceInterfaceData* interfaceData,
                               DeviceInterfaceDetailDataA* detail, uint32_t detailSize,
                               uint32_t* requiredSize, DevInfoData* device) {
    auto* native = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detail);
    // Callers give the portable fixed size; Windows wants the size of its own record here.
    if (native != nullptr && detail->cbSize == kDeviceInterfaceDetailFixedSize) {
        native->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    }
    DWORD required = 0;
    const BOOL ok = SetupDiGetDeviceInterfaceDetailA(
        Native(set), reinterpret_cast<PSP_DEVICE_INTERFACE_DATA>(interfaceData), native, detailSize,
        requiredSize != nullptr ? &required : nullptr, reinterpret_cast<PSP_DEVINFO_DATA>(device));
    if (requiredSize != nullptr) *requiredSize = required;
    return ok != FALSE;
}

}  // namespace qv::dev
