// IsNICTeamed and HasDamagedTeamRecord: what an adapter's Adapters entry says of its TeamNumber.
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/damaged_team_record.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// The TeamNumber of the entry named id (kMissing also when there is no entry).
DwordRead ReadEntryTeamNumber(const char16_t* id, uint32_t* number) {
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath, id)) {
        QvTrace(u"   ReadEntryTeamNumber: path too long");
        return DwordRead::kMissing;
    }
    ScopedKey entry;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyAllAccess, entry.Receive()) != kErrorSuccess) {
        QvTrace(u"   ReadEntryTeamNumber: no entry for %s", id);
        return DwordRead::kMissing;
    }
    return ReadDwordState(entry.get(), u"TeamNumber", number);
}

}  // namespace

bool IsNICTeamed(HKey driverKey) {
    QvTrace(u"-->IsNICTeamed:");
    OwnedU16 id;
    if (!ReadStringFromRegistry(driverKey, u"NetCfgInstanceId", &id)) {
        QvTrace(u"<--IsNICTeamed: no NetCfgInstanceId");
        return false;
    }
    // The entry is named by the id exactly as the driver key holds it.
    uint32_t number = 0;
    switch (ReadEntryTeamNumber(id.get(), &number)) {
        case DwordRead::kMissing:
            QvTrace(u"<--IsNICTeamed: no TeamNumber for %s", id.get());
            return false;
        case DwordRead::kWrongType:
            // A damaged number may belong to a team member: the adapter is not offered as free.
            QvTrace(u"<--IsNICTeamed: damaged TeamNumber for %s", id.get());
            return true;
        case DwordRead::kOk:
            break;
    }
    QvTrace(u"<--IsNICTeamed: %s TeamNumber 0x%x", id.get(), number);
    return (number & 0xF00) != 0;
}

bool HasDamagedTeamNumber(HKey entry) {
    uint32_t number = 0;
    return ReadDwordState(entry, u"TeamNumber", &number) == DwordRead::kWrongType;
}

bool HasDamagedTeamRecord(const Guid& adapter) {
    uint32_t number = 0;
    return ReadEntryTeamNumber(GuidToString(adapter).c_str(), &number) == DwordRead::kWrongType;
}

}  // namespace qv
