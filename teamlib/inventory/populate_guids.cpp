#include <cstring>

#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// Display names are read as 512 bytes, service names as 520.
constexpr uint32_t kDisplayNameBytes = 512;
constexpr uint32_t kServiceBytes = 520;

void ReadDriverText(HKey driverKey, const char16_t* valueName, char16_t* slot) {
    OwnedU16 text;
    if (!ReadStringFromRegistry(driverKey, valueName, &text)) {
        QvTrace(u"   PopulateGuids: cannot read %s", valueName);
        return;
    }
    U16FormatInto(slot, kAdapterNameCapacity - 1, u"%s", text.get());
}

// Appends the adapter to list; false when it cannot be listed (no name, or the list is full).
bool AddEntry(WalkedAdapter& adapter, AdapterList* list) {
    if (list->count < 0 || list->count >= kAdapterListCapacity) {
        QvTrace(u"   PopulateGuids: adapter list full, %s left out", adapter.guidString);
        return false;
    }
    AdapterEntry& entry = list->entries[list->count];
    std::memset(&entry, 0, sizeof(entry));
    if (!ReadDisplayName(adapter.set, adapter.device, entry.displayName, kAdapterNameCapacity,
                         kDisplayNameBytes)) {
        QvTrace(u"   PopulateGuids: no name for %s", adapter.guidString);
        return false;
    }
    entry.guid = adapter.guid;
    if (!ReadDeviceText(adapter.set, adapter.device, kSpdrpService, entry.service, kAdapterNameCapacity,
                        kServiceBytes)) {
        QvTrace(u"   PopulateGuids: cannot read the service of %s", adapter.guidString);
    }
    uint32_t type = 0;
    uint32_t required = 0;
    if (!dev::GetDeviceRegistryProperty(adapter.set, adapter.device, kSpdrpInstallState, &type,
                                        reinterpret_cast<uint8_t*>(&entry.installState),
                                        sizeof(entry.installState), &required)) {
        QvTrace(u"   PopulateGuids: cannot read the install state of %s", adapter.guidString);
    }
    ReadDriverText(adapter.driverKey, u"DriverDate", entry.driverDate);
    ReadDriverText(adapter.driverKey, u"DriverVersion", entry.driverVersion);

    const int32_t nameLength = static_cast<int32_t>(std::u16string_view(entry.displayName).size());
    if (nameLength > list->longestNameLength) list->longestNameLength = nameLength;
    ++list->count;
    return true;
}

}  // namespace

int PopulateGuids(HWnd window, AdapterLists* lists, int mode, const Guid& guid) {
    QvTrace(u"-->PopulateGuids: mode %d", mode);
    if (mode == QV_POPULATE && lists == nullptr) {
        QvTrace(u"<--PopulateGuids: no adapter lists");
        return 0;
    }
    const bool walked = WalkAdapters(window, WalkFilter{}, [&](WalkedAdapter& adapter) {
        if (mode != QV_POPULATE && !GuidEqual(adapter.guid, guid)) return WalkStep::kContinue;
        const bool physical = adapter.adapterClass == AdapterClass::kPhysical;
        switch (mode) {
            case QV_POPULATE:
                if (!physical) {
                    AddEntry(adapter, &lists->teamAdapters);
                } else if (!IsNICTeamed(adapter.driverKey)) {
                    AddEntry(adapter, &lists->unassignedAdapters);
                }
                return WalkStep::kContinue;
            case QV_SHOW_NIC:
                if (!physical) return WalkStep::kContinue;
                QvTrace(u"   PopulateGuids: showing %s", adapter.guidString);
                ShowNIC(adapter.driverKey);
                DisableEnableDevice(adapter.set, adapter.device);
                return WalkStep::kStop;
            case QV_REMOVE_TEAM:
                if (physical) return WalkStep::kContinue;
                QvTrace(u"   PopulateGuids: removing %s", adapter.guidString);
                RemoveTeamDetails(adapter.set, adapter.device);
                return WalkStep::kStop;
            default:
                return WalkStep::kContinue;
        }
    });
    if (!walked) {
        QvTrace(u"<--PopulateGuids: cannot open the device list");
        return 0;
    }
    QvTrace(u"<--PopulateGuids:");
    return 1;
}

}  // namespace qv
