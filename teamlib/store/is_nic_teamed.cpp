#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {

bool IsNICTeamed(HKey driverKey) {
    QvTrace(u"-->IsNICTeamed:");
    OwnedU16 id;
    if (!ReadStringFromRegistry(driverKey, u"NetCfgInstanceId", &id)) {
        QvTrace(u"<--IsNICTeamed: no NetCfgInstanceId");
        return false;
    }
    // The entry is named by the id exactly as the driver key holds it.
    char16_t path[kRegistryPathCapacity];
    if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath, id.get())) {
        QvTrace(u"<--IsNICTeamed: path too long");
        return false;
    }
    ScopedKey entry;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyAllAccess, entry.Receive()) != kErrorSuccess) {
        QvTrace(u"<--IsNICTeamed: no entry for %s", id.get());
        return false;
    }
    uint32_t number = 0;
    uint32_t size = sizeof(number);
    uint32_t type = 0;
    if (reg::QueryValueEx(entry.get(), u"TeamNumber", &type, reinterpret_cast<uint8_t*>(&number), &size) !=
            kErrorSuccess ||
        size != sizeof(number)) {
        QvTrace(u"<--IsNICTeamed: no TeamNumber for %s", id.get());
        return false;
    }
    const bool teamed = (number & 0xF00) != 0;
    QvTrace(u"<--IsNICTeamed: %s TeamNumber 0x%x", id.get(), number);
    return teamed;
}

}  // namespace qv
