// The present physical adapters with their display names, for front ends that match them by GUID.
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"

namespace qv {

bool ForEachPhysicalAdapter(const std::function<void(const Guid& guid, const char16_t* displayName)>& visit) {
    constexpr uint32_t kNameBytes = (kAdapterNameCapacity - 1) * sizeof(char16_t);
    const WalkFilter physicalOnly{.physical = true, .virtualTeamAdapters = false, .everyDevice = false};
    return WalkAdapters(nullptr, physicalOnly, [&](WalkedAdapter& adapter) {
        char16_t name[kAdapterNameCapacity] = {};
        if (!ReadDisplayName(adapter.set, adapter.device, name, kAdapterNameCapacity, kNameBytes))
            QvTrace(u"   ForEachPhysicalAdapter: no name for %s", adapter.guidString);
        else
            visit(adapter.guid, name);
        return WalkStep::kContinue;
    });
}

}  // namespace qv
