#include "qv/teamlib/internal/net_device.h"

#include <string_view>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/inventory.h"

namespace qv {

bool VisitNetDevice(const Guid& guid, uint32_t keyAccess,
                    const std::function<void(HDevInfo set, DevInfoData* device, HKey driverKey)>& visit) {
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    if (!set.valid()) {
        return false;
    }
    const std::u16string guidText = GuidToString(guid);
    DevInfoData device{};
    for (uint32_t index = 0; dev::EnumDeviceInfo(set.get(), index, &device); ++index) {
        ScopedKey driverKey(dev::OpenDevRegKey(set.get(), &device, kDicsFlagGlobal, 0, kDiregDrv, keyAccess));
        OwnedU16 instanceId;
        if (!driverKey.valid() ||
            !ReadStringFromRegistry(driverKey.get(), u"NetCfgInstanceId", &instanceId) ||
            std::u16string_view(instanceId.get()) != guidText) {
            continue;
        }
        visit(set.get(), &device, driverKey.get());
        return true;
    }
    return false;
}

}  // namespace qv
