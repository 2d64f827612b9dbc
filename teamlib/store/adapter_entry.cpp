// The entries of the team store's Adapters key: the walk over them, and DeleteAdapterEntry, with
// which an adapter leaves the store and the store's root key goes with its last entry, so that a
// machine whose teams and VLANs are all removed again looks as it did before.
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// True when the key has neither subkeys nor values.
bool IsEmptyKey(HKey key) {
    char16_t name[kRegistryPathCapacity];
    uint32_t length = kRegistryPathCapacity;
    if (reg::EnumKeyEx(key, 0, name, &length) != kErrorNoMoreItems) return false;
    length = kRegistryPathCapacity;
    uint32_t type = 0;
    uint32_t size = 0;
    return reg::EnumValue(key, 0, name, &length, &type, nullptr, &size) == kErrorNoMoreItems;
}

}  // namespace

LStatus ForEachAdapterEntry(uint32_t access,
                            const std::function<bool(const char16_t* name, HKey entry)>& visit) {
    ScopedKey adapters;
    const LStatus status = reg::OpenKeyEx(kHkeyLocalMachine, kAdaptersKeyPath, access, adapters.Receive());
    if (status != kErrorSuccess) return status;
    for (uint32_t index = 0;; ++index) {
        char16_t name[kRegistryPathCapacity] = {};
        uint32_t nameLength = kRegistryPathCapacity;
        const LStatus found = reg::EnumKeyEx(adapters.get(), index, name, &nameLength);
        if (found == kErrorMoreData) continue;  // a name too long for a GUID is no adapter's entry
        if (found != kErrorSuccess) break;
        ScopedKey entry;
        if (reg::OpenKeyEx(adapters.get(), name, access, entry.Receive()) != kErrorSuccess) {
            QvTrace(u"   ForEachAdapterEntry: cannot open %s", name);
            continue;
        }
        if (!visit(name, entry.get())) break;
    }
    return kErrorSuccess;
}

LStatus DeleteAdapterEntry(const Guid& adapter) {
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath,
                       GuidToString(adapter).c_str())) {
        return kErrorInvalidParameter;
    }
    const LStatus status = reg::DeleteKey(kHkeyLocalMachine, path);
    DeleteAdaptersKeyIfEmpty();
    return status;
}

bool DeleteAdaptersKeyIfEmpty() {
    ScopedKey adapters;
    if (reg::OpenKeyEx(kHkeyLocalMachine, kAdaptersKeyPath, kKeyRead, adapters.Receive()) != kErrorSuccess ||
        !IsEmptyKey(adapters.get())) {
        return false;
    }
    adapters.Reset();
    const bool deleted = reg::DeleteKey(kHkeyLocalMachine, kAdaptersKeyPath) == kErrorSuccess;
    QvTrace(u"   DeleteAdaptersKeyIfEmpty: the last entry is gone, and the Adapters key with it");
    return deleted;
}

}  // namespace qv
