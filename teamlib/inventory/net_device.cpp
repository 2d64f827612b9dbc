#include "qv/teamlib/internal/net_device.h"

#include <string>
#include <string_view>

#include "qv/teamlib/internal/adapter_walk.h"

namespace qv {

bool VisitNetDevice(const Guid& guid,
                    const std::function<void(HDevInfo set, DevInfoData* device, HKey driverKey)>& visit) {
    const std::u16string wanted = GuidToString(guid);
    WalkFilter every;
    every.everyDevice = true;
    bool found = false;
    WalkAdapters(nullptr, every, [&](WalkedAdapter& adapter) {
        if (std::u16string_view(adapter.guidString) != wanted) return WalkStep::kContinue;
        found = true;
        visit(adapter.set, adapter.device, adapter.driverKey);
        return WalkStep::kStop;
    });
    return found;
}

}  // namespace qv
