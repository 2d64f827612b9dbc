// SetupAPI's device-interface lookup on the simulated host: sets of the bus driver's registered
// interfaces, enumerated by member index, with the device path as detail.
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/host_state.h"

namespace qv::dev {
namespace {

constexpr Guid kBusDriverInterfaceClass = {
    0xB5C98E43, 0x7483, 0x415C, {0x93, 0x08, 0x38, 0x06, 0x52, 0x64, 0xE1, 0x0B}};
constexpr uint32_t kSpintActive = 0x1;
constexpr uint32_t kDevicePathOffset = offsetof(DeviceInterfaceDetailDataA, devicePath);

// An interface set: the device paths found when it was made, in enumeration order. Kept apart
// from the device information sets of devinst; its handles are checked against a live list.
struct InterfaceMember {
    std::string path;
    std::u16string deviceInstance;
};
struct InterfaceSet {
    Guid interfaceClass;
    std::vector<InterfaceMember> members;
};

std::mutex g_mutex;
std::set<const InterfaceSet*>& LiveSets() {
    static std::set<const InterfaceSet*> sets;
    return sets;
}

InterfaceSet* Lookup(HDevInfo handle) {
    auto* set = reinterpret_cast<InterfaceSet*>(handle);
    std::lock_guard lock(g_mutex);
    return LiveSets().count(set) != 0 ? set : nullptr;
}

bool Fail(Win32Error error) {
    SetLastError(error);
    return false;
}

}  // namespace

HDevInfo GetClassDevsA(const Guid* classGuid, const char* enumerator, HWnd, uint32_t flags) {
    if (classGuid == nullptr || enumerator != nullptr || (flags & kDigcfDeviceInterface) == 0) {
        SetLastError(kErrorInvalidParameter);
        return kInvalidDevInfo;
    }
    auto set = std::make_unique<InterfaceSet>();
    set->interfaceClass = *classGuid;
    if (GuidEqual(*classGuid, kBusDriverInterfaceClass)) {
        std::vector<sim::BusDriverInterface> interfaces;
        const int32_t status = sim::ListBusDriverInterfaces((flags & kDigcfPresent) != 0, &interfaces);
        if (status != kErrorSuccess) {
            SetLastError(status);
            return kInvalidDevInfo;
        }
        for (const auto& i : interfaces) {
            set->members.push_back(
                {i.symbolicLink, std::u16string(i.deviceInstance.begin(), i.deviceInstance.end())});
        }
    }
    std::lock_guard lock(g_mutex);
    LiveSets().insert(set.get());
    return reinterpret_cast<HDevInfo>(set.release());
}

bool EnumDeviceInterfaces(HDevInfo handle, DevInfoData*, const Guid* interfaceClassGuid, uint32_t memberIndex,
                          DeviceInterfaceData* data) {
    InterfaceSet* set = Lookup(handle);
    if (set == nullptr) return Fail(kErrorInvalidHandle);
    if (interfaceClassGuid == nullptr || data == nullptr || data->cbSize != sizeof(DeviceInterfaceData)) {
        return Fail(kErrorInvalidParameter);
    }
    if (!GuidEqual(*interfaceClassGuid, set->interfaceClass) || memberIndex >= set->members.size()) {
        return Fail(kErrorNoMoreItems);
    }
    data->interfaceClassGuid = set->interfaceClass;
    data->flags = kSpintActive;
    data->reserved = uintptr_t{memberIndex} + 1;  // which member this record describes
    return true;
}

bool GetDeviceInterfaceDetailA(HDevInfo handle, DeviceInterfaceData* data, DeviceInterfaceDetailDataA* detail,
                               uint32_t detailSize, uint32_t* requiredSize, DevInfoData*) {
    InterfaceSet* set = Lookup(handle);
    if (set == nullptr) return Fail(kErrorInvalidHandle);
    if (data == nullptr || data->reserved == 0 || data->reserved > set->members.size()) {
        return Fail(kErrorInvalidParameter);
    }
    const InterfaceMember& member = set->members[data->reserved - 1];
    const std::string& path = member.path;
    const uint32_t required = kDevicePathOffset + static_cast<uint32_t>(path.size()) + 1;
    const uint32_t reportedSize =
        sim::ReadDeviceState(member.deviceInstance, sim::kStateInterfaceDetailSize).value_or(0);
    if (requiredSize != nullptr) *requiredSize = reportedSize != 0 ? reportedSize : required;
    const uint32_t injected =
        sim::ReadDeviceState(member.deviceInstance, sim::kStateInterfaceDetailFails).value_or(0);
    if (injected != 0) return Fail(injected);
    if (detail == nullptr) return Fail(detailSize == 0 ? kErrorInsufficientBuffer : kErrorInvalidParameter);
    if (detail->cbSize != kDeviceInterfaceDetailFixedSize) return Fail(kErrorInvalidUserBuffer);
    if (detailSize < required) return Fail(kErrorInsufficientBuffer);
    std::memcpy(reinterpret_cast<char*>(detail) + kDevicePathOffset, path.c_str(), path.size() + 1);
    return true;
}

bool DestroyInterfaceDeviceInfoList(HDevInfo handle) {
    auto* set = reinterpret_cast<InterfaceSet*>(handle);
    {
        std::lock_guard lock(g_mutex);
        if (LiveSets().erase(set) == 0) return Fail(kErrorInvalidHandle);
    }
    delete set;
    return true;
}

}  // namespace qv::dev
