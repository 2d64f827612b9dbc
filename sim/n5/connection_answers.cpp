#include "connection_answers.h"

#include <algorithm>

#include "qv/platform/wintypes.h"

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kMemoryReadRecordSize = 20;

}  // namespace

int32_t MemoryRead(Adapter& a, const Request& r) {
    if (r.inSize < kMemoryReadRecordSize) return kErrorInsufficientBuffer;
    const uint32_t kind = Get32(r.buffer + 4);
    const uint32_t address = Get32(r.buffer + 8);
    const uint32_t length = std::min(Get32(r.buffer + 12), r.outCapacity);
    StateFile& s = a.state();
    if (!ReadConnectionMemory(s.connections, s.registers, kind, address, r.buffer, length))
        return kErrorInvalidParameter;
    *r.returned = length;
    return kErrorSuccess;
}

}  // namespace qv::sim::n5
