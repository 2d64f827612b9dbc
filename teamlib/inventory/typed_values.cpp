#include <new>

#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/trace.h"

namespace qv {

DwordRead ReadDwordState(HKey key, const char16_t* valueName, uint32_t* out) {
    uint32_t value = 0;
    uint32_t size = sizeof(value);
    uint32_t type = 0;
    const LStatus status =
        reg::QueryValueEx(key, valueName, &type, reinterpret_cast<uint8_t*>(&value), &size);
    // A value longer than a DWORD is there all the same: the read only reports its size.
    if (status != kErrorSuccess && status != kErrorMoreData) return DwordRead::kMissing;
    if (status != kErrorSuccess || type != kRegDword || size != sizeof(value)) return DwordRead::kWrongType;
    *out = value;
    return DwordRead::kOk;
}

bool ReadDwordValue(HKey key, const char16_t* valueName, uint32_t* out) {
    return ReadDwordState(key, valueName, out) == DwordRead::kOk;
}

StringRead ReadSzValue(HKey key, const char16_t* valueName, OwnedU16* out) {
    out->reset();
    uint32_t type = 0;
    uint32_t size = 0;
    if (reg::QueryValueEx(key, valueName, &type, nullptr, &size) != kErrorSuccess || type != kRegSz) {
        return StringRead::kMissing;
    }
    // Two zero units beyond the value keep it terminated whatever was stored.
    OwnedU16 buffer(new (std::nothrow) char16_t[size / 2 + 2]());
    if (!buffer) {
        QvTrace(u"   ReadSzValue: no memory for %u bytes of %s", size, valueName);
        return StringRead::kNoMemory;
    }
    if (reg::QueryValueEx(key, valueName, &type, reinterpret_cast<uint8_t*>(buffer.get()), &size) !=
            kErrorSuccess ||
        type != kRegSz) {
        return StringRead::kMissing;
    }
    *out = std::move(buffer);
    return StringRead::kOk;
}

}  // namespace qv
