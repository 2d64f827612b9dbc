#include <cstring>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr uint32_t kListedNameBytes = 256;

WalkStep ListAdapter(WalkedAdapter& adapter, int kind, AdapterTable* table) {
    if (table->count < 0 || table->count >= kAdapterTableCapacity) {
        QvTrace(u"   QueryAdapters: table full, %s left out", adapter.guidString);
        return WalkStep::kStop;
    }
    const int slot = table->count;
    if (!ReadDisplayName(adapter.set, adapter.device, table->displayNames[slot], kAdapterNameCapacity,
                         kListedNameBytes)) {
        QvTrace(u"   QueryAdapters: no name for %s", adapter.guidString);
        return WalkStep::kContinue;
    }
    const bool wanted = (kind == QV_KIND_TEAM_ADAPTERS && adapter.adapterClass == AdapterClass::kVirtual) ||
                        (kind == QV_KIND_FREE_ADAPTERS && adapter.adapterClass == AdapterClass::kPhysical &&
                         !IsNICTeamed(adapter.driverKey));
    if (!wanted) return WalkStep::kContinue;
    if (!ReadConnectionName(adapter.guidString, table->connectionNames[slot], kAdapterNameCapacity - 1)) {
        QvTrace(u"   QueryAdapters: no connection name for %s", adapter.guidString);
        return WalkStep::kContinue;
    }
    table->guids[slot] = adapter.guid;
    ++table->count;
    return WalkStep::kContinue;
}

}  // namespace

int QueryAdapters(int mode, Guid guid, int kind, AdapterTable* table) {
    QvTrace(u"-->QueryAdapters: mode %d kind %d", mode, kind);
    if (mode == QV_POPULATE && table == nullptr) {
        QvTrace(u"<--QueryAdapters: no table");
        return 0;
    }
    const bool walked = WalkAdapters(nullptr, WalkFilter{}, [&](WalkedAdapter& adapter) {
        if (mode != QV_POPULATE && !GuidEqual(adapter.guid, guid)) return WalkStep::kContinue;
        const bool physical = adapter.adapterClass == AdapterClass::kPhysical;
        switch (mode) {
            case QV_POPULATE:
                return ListAdapter(adapter, kind, table);
            case QV_HIDE_NIC:
            case QV_SHOW_NIC:
                if (!physical) return WalkStep::kContinue;
                QvTrace(u"   QueryAdapters: %s %s", mode == QV_HIDE_NIC ? u"hiding" : u"showing",
                        adapter.guidString);
                if (mode == QV_HIDE_NIC) {
                    HideNIC(adapter.driverKey);
                } else {
                    ShowNIC(adapter.driverKey);
                }
                DisableEnableDevice(adapter.set, adapter.device);
                return WalkStep::kStop;
            case QV_REMOVE_TEAM:
                if (physical) return WalkStep::kContinue;
                QvTrace(u"   QueryAdapters: removing %s", adapter.guidString);
                RemoveTeamDetails(adapter.set, adapter.device);
                return WalkStep::kStop;
            default:
                return WalkStep::kContinue;
        }
    });
    if (!walked) {
        QvTrace(u"<--QueryAdapters: cannot open the device list");
        return 0;
    }
    QvTrace(u"<--QueryAdapters:");
    return 1;
}

}  // namespace qv
