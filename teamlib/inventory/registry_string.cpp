#include <new>

#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"

namespace qv {

int ReadStringFromRegistry(HKey key, const char16_t* valueName, OwnedU16* out) {
    out->reset();
    uint32_t size = 0;
    LStatus status = reg::QueryValueEx(key, valueName, nullptr, nullptr, &size);
    if (status != kErrorSuccess) return 0;
    // Two zero units beyond the value (one more for an odd byte count) keep the string terminated
    // even when it was stored without a terminator.
    const size_t units = size / 2 + 2;
    OwnedU16 buffer(new (std::nothrow) char16_t[units]());
    if (!buffer) {
        QvTrace(u"   ReadStringFromRegistry: no memory for %u bytes of %s", size, valueName);
        return 0;
    }
    uint32_t type = 0;
    status = reg::QueryValueEx(key, valueName, &type, reinterpret_cast<uint8_t*>(buffer.get()), &size);
    if (status != kErrorSuccess) return 0;
    *out = std::move(buffer);
    return 1;
}

}  // namespace qv
