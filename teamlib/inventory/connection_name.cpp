#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"

namespace qv {
namespace {

constexpr char16_t kNetworkPath[] = u"System\\CurrentControlSet\\Control\\Network";

}  // namespace

bool ReadConnectionName(const char16_t* guidString, char16_t* buffer, size_t capacity) {
    if (capacity == 0) return false;
    buffer[0] = u'\0';
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%.*s\\%s\\Connection", kNetworkPath,
                       static_cast<int>(kGuidDevClassNetText.size()), kGuidDevClassNetText.data(),
                       guidString)) {
        return false;
    }
    ScopedKey key;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, key.Receive()) != kErrorSuccess) return false;
    OwnedU16 name;
    if (!ReadStringFromRegistry(key.get(), u"Name", &name)) return false;
    U16CopyInto(buffer, capacity, name.get());
    return true;
}

}  // namespace qv
