// SetupAPI's device-interface lookup on the simulated host: device sets holding the bus driver's
// registered interfaces, enumerated by member index, with the device path as detail.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/device_set.h"
#include "qv/sim/host_state.h"

namespace qv::dev {
namespace {

using sim::DeviceSet;
using sim::FailWith;
using sim::InterfaceMember;

constexpr uint32_t kSpintActive = 0x1;
constexpr uint32_t kDevicePathOffset = offsetof(DeviceInterfaceDetailDataA, devicePath);

}  // namespace

HDevInfo GetClassDevsA(const Guid* classGuid, const char* enumerator, HWnd, uint32_t flags) {
    if (classGuid == nullptr || enumerator != nullptr || (flags & kDigcfDeviceInterface) == 0)
        return FailWith(kErrorInvalidParameter, kInvalidDevInfo);
    auto set = std::make_unique<DeviceSet>();
    set->interfaceClass = *classGuid;
    if (GuidEqual(*classGuid, kGuidBusDriverInterface)) {
        std::vector<sim::BusDriverInterface> interfaces;
        const LStatus status = sim::ListBusDriverInterfaces((flags & kDigcfPresent) != 0, &interfaces);
        if (status != kErrorSuccess) return FailWith(status, kInvalidDevInfo);
        for (const auto& i : interfaces) {
            set->interfaces.push_back(
                {i.symbolicLink, std::u16string(i.deviceInstance.begin(), i.deviceInstance.end())});
        }
    }
    return sim::NewHandle<DeviceSet, HDevInfo>(std::move(set));
}

bool EnumDeviceInterfaces(HDevInfo handle, DevInfoData*, const Guid* interfaceClassGuid, uint32_t memberIndex,
                          DeviceInterfaceData* data) {
    const DeviceSet* set = sim::FindOrFail<DeviceSet>(handle);
    if (set == nullptr) return false;
    if (interfaceClassGuid == nullptr || data == nullptr || data->cbSize != sizeof(DeviceInterfaceData))
        return FailWith(kErrorInvalidParameter);
    if (!GuidEqual(*interfaceClassGuid, set->interfaceClass) || memberIndex >= set->interfaces.size())
        return FailWith(kErrorNoMoreItems);
    data->interfaceClassGuid = set->interfaceClass;
    data->flags = kSpintActive;
    data->reserved = uintptr_t{memberIndex} + 1;  // which member this record describes
    return true;
}

bool GetDeviceInterfaceDetailA(HDevInfo handle, DeviceInterfaceData* data, DeviceInterfaceDetailDataA* detail,
                               uint32_t detailSize, uint32_t* requiredSize, DevInfoData*) {
    const DeviceSet* set = sim::FindOrFail<DeviceSet>(handle);
    if (set == nullptr) return false;
    if (data == nullptr || data->reserved == 0 || data->reserved > set->interfaces.size())
        return FailWith(kErrorInvalidParameter);
    const InterfaceMember& member = set->interfaces[data->reserved - 1];
    const std::string& path = member.path;
    const uint32_t required = kDevicePathOffset + static_cast<uint32_t>(path.size()) + 1;
    const uint32_t reportedSize =
        sim::ReadDeviceState(member.deviceInstance, sim::kStateInterfaceDetailSize).value_or(0);
    if (requiredSize != nullptr) *requiredSize = reportedSize != 0 ? reportedSize : required;
    const uint32_t injected =
        sim::ReadDeviceState(member.deviceInstance, sim::kStateInterfaceDetailFails).value_or(0);
    if (injected != 0) return FailWith(injected);
    if (detail == nullptr)
        return FailWith(detailSize == 0 ? kErrorInsufficientBuffer : kErrorInvalidParameter);
    if (detail->cbSize != kDeviceInterfaceDetailFixedSize) return FailWith(kErrorInvalidUserBuffer);
    if (detailSize < required) return FailWith(kErrorInsufficientBuffer);
    std::memcpy(reinterpret_cast<char*>(detail) + kDevicePathOffset, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace qv::dev
