#include "qv/qvtool/adapter_connection.h"

#include <cstddef>
#include <memory>
#include <new>

#include "qv/platform/security.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kInterfaceFlags = kDigcfPresent | kDigcfDeviceInterface;
constexpr uint32_t kDevicePathOffset = offsetof(DeviceInterfaceDetailDataA, devicePath);
// An interface path longer than this is not a path the driver registered.
constexpr uint32_t kMaxDetailSize = 32 * 1024;

struct FreeDetail {
    void operator()(DeviceInterfaceDetailDataA* p) const { ::operator delete(p, std::nothrow); }
};
using DetailBuffer = std::unique_ptr<DeviceInterfaceDetailDataA, FreeDetail>;

// Fetches the interface's device path record; null after printing why not.
DetailBuffer InterfaceDetail(HDevInfo set, DeviceInterfaceData* data, std::FILE* out) {
    uint32_t required = 0;
    if (!dev::GetDeviceInterfaceDetailA(set, data, nullptr, 0, &required, nullptr)) {
        const Win32Error error = GetLastError();
        if (error != kErrorInsufficientBuffer) {
            std::fprintf(out, "Error in SetupDiGetDeviceInterfaceDetail%d\n", static_cast<int>(error));
            return nullptr;
        }
    }
    DetailBuffer detail;
    if (required > kDevicePathOffset && required <= kMaxDetailSize) {
        const size_t size =
            required < kDeviceInterfaceDetailFixedSize ? kDeviceInterfaceDetailFixedSize : required;
        detail.reset(static_cast<DeviceInterfaceDetailDataA*>(::operator new(size, std::nothrow)));
    }
    if (detail == nullptr) {
        std::fprintf(out, "Couldn't allocate %d bytes for device interface details.\n",
                     static_cast<int>(required));
        return nullptr;
    }
    detail->cbSize = kDeviceInterfaceDetailFixedSize;
    if (!dev::GetDeviceInterfaceDetailA(set, data, detail.get(), required, nullptr, nullptr)) {
        std::fputs("Error in SetupDiGetDeviceInterfaceDetail\n", out);
        return nullptr;
    }
    // The path must end inside the buffer, whatever the driver wrote.
    reinterpret_cast<char*>(detail.get())[required - 1] = '\0';
    return detail;
}

}  // namespace

bool OpenAdapter(int32_t instance, AdapterConnection* connection, std::FILE* out) {
    connection->set = dev::GetClassDevsA(&kGuidBusDriverInterface, nullptr, nullptr, kInterfaceFlags);
    if (connection->set == kInvalidDevInfo) {
        std::fprintf(out, "SetupDiGetClassDevs failed: %x\n", static_cast<unsigned>(GetLastError()));
        return false;
    }
    DeviceInterfaceData data;
    if (!dev::EnumDeviceInterfaces(connection->set, nullptr, &kGuidBusDriverInterface,
                                   static_cast<uint32_t>(instance), &data) &&
        GetLastError() == kErrorNoMoreItems) {
        std::fputs("Error:Interface GUID_DEVINTERFACE_BUSENUM_QV_VBD is not registered\n", out);
        CloseAdapter(connection);
        return false;
    }
    const DetailBuffer detail = InterfaceDetail(connection->set, &data, out);
    if (detail == nullptr) {
        std::fputs("Device Opened was unsuccessfully\n", out);
        return true;
    }
    const char* path = reinterpret_cast<const char*>(detail.get()) + kDevicePathOffset;
    connection->device = io::CreateFileA(path, kGenericRead, 0, kOpenExisting, 0);
    if (connection->device == kInvalidDevice && GetLastError() == kErrorAccessDenied) {
        std::fprintf(out, "%s\n", sec::kAdministratorRightsNeeded);
        connection->administratorRightsMissing = true;
        CloseAdapter(connection);
        return false;
    }
    if (connection->device == kInvalidDevice) {
        std::fprintf(out, "CreateFile failed: 0x%x", static_cast<unsigned>(GetLastError()));
    }
    return true;
}

void CloseAdapter(AdapterConnection* connection) {
    if (connection->device != kInvalidDevice) io::CloseHandle(connection->device);
    if (connection->set != kInvalidDevInfo) dev::DestroyDeviceInfoList(connection->set);
    connection->device = kInvalidDevice;
    connection->set = kInvalidDevInfo;
}

}  // namespace qv::qvtool
