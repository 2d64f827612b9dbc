// Device handles and I/O-control requests of the device I/O port on Windows.
#include <windows.h>

#include "qv/platform/deviceio.h"

namespace qv::io {
namespace {

HANDLE Native(HDevice device) {
    return reinterpret_cast<HANDLE>(device);
}

}  // namespace

HDevice CreateFileA(const char* path, uint32_t desiredAccess, uint32_t shareMode,
                    uint32_t creationDisposition, uint32_t flagsAndAttributes) {
    const HANDLE h = ::CreateFileA(path, desiredAccess, shareMode, nullptr, creationDisposition,
                                   flagsAndAttributes, nullptr);
    return h == INVALID_HANDLE_VALUE ? kInvalidDevice : reinterpret_cast<HDevice>(h);
}

bool DeviceIoControl(HDevice device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                     void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned) {
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(Native(device), ioControlCode, inBuffer, inBufferSize, outBuffer,
                                      outBufferSize, &returned, nullptr);
    if (bytesReturned != nullptr) *bytesReturned = returned;
    return ok != FALSE;
}

bool CloseHandle(HDevice device) {
    return ::CloseHandle(Native(device)) != FALSE;
}

}  // namespace qv::io
