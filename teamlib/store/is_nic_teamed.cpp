#include "inventory/scoped_handles.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {

bool IsNICTeamed(HKey driverKey) {
    OwnedU16 id;
    if (!ReadStringFromRegistry(driverKey, u"NetCfgInstanceId", &id)) return false;
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath, id.get())) return false;
    ScopedKey entry;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyAllAccess, entry.Receive()) != kErrorSuccess)
        return false;
    uint32_t number = 0;
    uint32_t size = sizeof(number);
    uint32_t type = 0;
    if (reg::QueryValueEx(entry.get(), u"TeamNumber", &type, reinterpret_cast<uint8_t*>(&number), &size) !=
        kErrorSuccess) {
        return false;
    }
    const bool teamed = (number & 0xF00) != 0;
    QvTrace(u"   IsNICTeamed: %s TeamNumber 0x%x", id.get(), number);
    return teamed;
}

}  // namespace qv
