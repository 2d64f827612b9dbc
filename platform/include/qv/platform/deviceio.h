// Device I/O port: the bus-driver interface lookup by class GUID and instance number (SetupAPI
// device interfaces, narrow-character calls) and buffered I/O-control requests on an open handle.
#pragma once

#include <cstdint>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"

namespace qv {

struct DeviceHandleTag;
using HDevice = DeviceHandleTag*;
inline HDevice const kInvalidDevice = reinterpret_cast<HDevice>(static_cast<intptr_t>(-1));

// SP_DEVICE_INTERFACE_DATA.
struct DeviceInterfaceData {
    uint32_t cbSize = sizeof(DeviceInterfaceData);
    Guid interfaceClassGuid{};
    uint32_t flags = 0;
    uintptr_t reserved = 0;
};

// SP_DEVICE_INTERFACE_DETAIL_DATA_A: a size field followed by the NUL-terminated device path,
// which starts at byte 4 and runs to the end of the caller's buffer.
// Callers set cbSize to kDeviceInterfaceDetailFixedSize, as they would set it to the size of the
// fixed part of the Windows record.
struct DeviceInterfaceDetailDataA {
    uint32_t cbSize;
    char devicePath[1];
};
constexpr uint32_t kDeviceInterfaceDetailFixedSize = 8;

// CreateFileA creation disposition used by the tool (access rights: kGeneric* in wintypes.h).
constexpr uint32_t kOpenExisting = 3;

// CTL_CODE(deviceType, function, METHOD_BUFFERED, FILE_ANY_ACCESS).
constexpr uint32_t CtlCodeBuffered(uint32_t deviceType, uint32_t function) {
    return (deviceType << 16) | (function << 2);
}

namespace dev {

// SetupDiGetClassDevsA; the programs use it with kDigcfDeviceInterface for interface lookups.
HDevInfo GetClassDevsA(const Guid* classGuid, const char* enumerator, HWnd parent, uint32_t flags);
// SetupDiEnumDeviceInterfaces: false with last error kErrorNoMoreItems past the end.
bool EnumDeviceInterfaces(HDevInfo set, DevInfoData* device, const Guid* interfaceClassGuid,
                          uint32_t memberIndex, DeviceInterfaceData* interfaceData);
// SetupDiGetDeviceInterfaceDetailA: with no buffer, false with kErrorInsufficientBuffer and
// *requiredSize set.
bool GetDeviceInterfaceDetailA(HDevInfo set, DeviceInterfaceData* interfaceData,
                               DeviceInterfaceDetailDataA* detail, uint32_t detailSize,
                               uint32_t* requiredSize, DevInfoData* device);
// A set made by GetClassDevsA is destroyed by DestroyDeviceInfoList, as any other device set.

}  // namespace dev

namespace io {

// CreateFileA on a device path: kInvalidDevice and a last error on failure.
HDevice CreateFileA(const char* path, uint32_t desiredAccess, uint32_t shareMode,
                    uint32_t creationDisposition, uint32_t flagsAndAttributes);
// DeviceIoControl, synchronous.
bool DeviceIoControl(HDevice device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                     void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned);
// CloseHandle.
bool CloseHandle(HDevice device);

}  // namespace io
}  // namespace qv
