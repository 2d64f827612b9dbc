// RemoveIncompleteVirtualAdapters: a device of the teaming miniport that was registered but never
// got its driver (its installation was cut short, by a crash or a kill) is no adapter of either
// program and would stay forever; it is removed as a finished one would be.
#include <string_view>
#include <vector>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// The largest hardware-id list read (a miniport device has one id).
constexpr uint32_t kHardwareIdBytes = 1024;
constexpr uint32_t kMaxSteps = 4096;

bool HasMiniportHardwareId(HDevInfo set, DevInfoData* device) {
    std::vector<char16_t> ids(kHardwareIdBytes / sizeof(char16_t) + 2, u'\0');
    uint32_t type = 0;
    uint32_t required = 0;
    if (!dev::GetDeviceRegistryProperty(set, device, kSpdrpHardwareId, &type,
                                        reinterpret_cast<uint8_t*>(ids.data()), kHardwareIdBytes,
                                        &required)) {
        return false;
    }
    for (const char16_t* id = ids.data(); *id != u'\0' && id < ids.data() + ids.size();) {
        const std::u16string_view text(id);
        if (text == kMiniportHardwareId) return true;
        id += text.size() + 1;
    }
    return false;
}

bool HasInstanceId(HDevInfo set, DevInfoData* device) {
    ScopedKey driverKey(dev::OpenDevRegKey(set, device, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead));
    OwnedU16 id;
    return driverKey.valid() && ReadStringFromRegistry(driverKey.get(), u"NetCfgInstanceId", &id) == 1;
}

}  // namespace

int RemoveIncompleteVirtualAdapters() {
    QvTrace(u"-->RemoveIncompleteVirtualAdapters:");
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    if (!set.valid()) {
        QvTrace(u"<--RemoveIncompleteVirtualAdapters: cannot open the device list");
        return 0;
    }
    int removed = 0;
    DevInfoData device{};
    // After a removal the walk starts again, whatever the set does with the removed element; the
    // number of steps is bounded all the same.
    uint32_t index = 0;
    for (uint32_t step = 0; step < kMaxSteps && dev::EnumDeviceInfo(set.get(), index, &device); ++step) {
        if (IsVirtualNIC(device) && HasMiniportHardwareId(set.get(), &device) &&
            !HasInstanceId(set.get(), &device) && RemoveTeamDetails(set.get(), &device) == 1) {
            ++removed;
            index = 0;
            continue;
        }
        ++index;
    }
    QvTrace(u"<--RemoveIncompleteVirtualAdapters: %d", removed);
    return removed;
}

}  // namespace qv
