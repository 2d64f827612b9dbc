#include <cstring>

#include "inventory/adapter_walk.h"
#include "inventory/scoped_handles.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr char16_t kNetworkClassPath[] =
    u"System\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr uint32_t kDisplayNameBytes = 256;

// The network connection name of an adapter (the name the user sees and types).
bool ReadConnectionName(const char16_t* guidString, char16_t* slot) {
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s\\%s", kNetworkClassPath, guidString,
                       u"Connection")) {
        return false;
    }
    ScopedKey key;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, key.Receive()) != kErrorSuccess) return false;
    OwnedU16 name;
    if (!ReadStringFromRegistry(key.get(), u"Name", &name)) return false;
    U16CopyInto(slot, kAdapterNameCapacity - 1, name.get());
    return true;
}

WalkStep ListAdapter(WalkedAdapter& adapter, int kind, AdapterTable* table) {
    if (table->count < 0 || table->count >= kAdapterTableCapacity) {
        QvTrace(u"   QueryAdapters: table full, %s left out", adapter.guidString);
        return WalkStep::kStop;
    }
    const int slot = table->count;
    if (!ReadDisplayName(adapter.set, adapter.device, table->displayNames[slot], kAdapterNameCapacity,
                         kDisplayNameBytes)) {
        QvTrace(u"   QueryAdapters: no name for %s", adapter.guidString);
        return WalkStep::kContinue;
    }
    const bool wanted = (kind == QV_KIND_TEAM_ADAPTERS && adapter.adapterClass == AdapterClass::kVirtual) ||
                        (kind == QV_KIND_FREE_ADAPTERS && adapter.adapterClass == AdapterClass::kPhysical &&
                         !IsNICTeamed(adapter.driverKey));
    if (!wanted) return WalkStep::kContinue;
    if (!ReadConnectionName(adapter.guidString, table->connectionNames[slot])) {
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
