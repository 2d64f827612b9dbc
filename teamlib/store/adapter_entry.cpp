// DeleteAdapterEntry: an adapter leaves the team store, and the store's root key goes with its last
// entry, so that a machine whose teams and VLANs are all removed again looks as it did before.
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

LStatus DeleteAdapterEntry(const Guid& adapter) {
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath,
                       GuidToString(adapter).c_str())) {
        return kErrorInvalidParameter;
    }
    const LStatus status = reg::DeleteKey(kHkeyLocalMachine, path);
    ScopedKey adapters;
    if (reg::OpenKeyEx(kHkeyLocalMachine, kAdaptersKeyPath, kKeyRead, adapters.Receive()) == kErrorSuccess &&
        IsEmptyKey(adapters.get())) {
        adapters.Reset();
        reg::DeleteKey(kHkeyLocalMachine, kAdaptersKeyPath);
        QvTrace(u"   DeleteAdapterEntry: the last entry is gone, and the Adapters key with it");
    }
    return status;
}

}  // namespace qv
