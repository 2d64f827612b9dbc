#include "qv/qvtool/connection/memory_read.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qv::qvtool {

MemoryReadRecord MakeMemoryReadRecord(MemoryKind kind, uint32_t address, uint32_t length) {
    return {IoControlCode(IoFunction::kMemoryRead), static_cast<uint32_t>(kind), address, length, 0};
}

void KeepReturnedBytes(std::span<const uint8_t> answer, uint32_t returned, std::span<uint8_t> into) {
    const size_t kept = std::min({static_cast<size_t>(returned), answer.size(), into.size()});
    if (kept != 0 && answer.data() != into.data()) std::memmove(into.data(), answer.data(), kept);
    std::fill(into.begin() + static_cast<std::ptrdiff_t>(kept), into.end(), uint8_t{0});
}

bool ReadAdapterMemory(HDevice device, MemoryKind kind, uint32_t address, std::span<uint8_t> into) {
    const uint32_t length = static_cast<uint32_t>(into.size());
    MemoryReadRecord record = MakeMemoryReadRecord(kind, address, length);
    std::fill(into.begin(), into.end(), uint8_t{0});
    uint32_t returned = 0;
    const bool ok = io::DeviceIoControl(device, record.ioControlCode, &record, sizeof record, into.data(),
                                        length, &returned);
    KeepReturnedBytes(into, returned, into);
    return ok;
}

}  // namespace qv::qvtool
