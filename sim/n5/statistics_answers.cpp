// The statistics answers' common copy, and function 17's answer.
#include "statistics_answers.h"

#include <cstring>

namespace qv::sim::n5 {

int32_t AnswerImage(const Request& r, const uint8_t* image, uint32_t size, uint32_t keep) {
    if (r.inSize < size || r.outCapacity < size) return kErrorInsufficientBuffer;
    std::memcpy(r.buffer + keep, image + keep, size - keep);
    return Answered(r, size);
}

// The connection number selects the connection; the index word is replaced by its socket TID.
int32_t AnswerConnectionStats(Adapter& a, const Request& r) {
    if (r.inSize < kConnectionBytes || r.outCapacity < kConnectionBytes) return kErrorInsufficientBuffer;
    const uint32_t number = Get32(r.buffer);
    if (number >= kOffloadConnections) return kErrorInvalidParameter;
    const OffloadConnection& c = a.state().stats.connections[number];
    Put32(r.buffer + 4, c.tid);
    std::memcpy(r.buffer + 8, c.mac, sizeof c.mac);
    r.buffer[14] = 0;
    r.buffer[15] = 0;
    return Answered(r, kConnectionBytes);
}

}  // namespace qv::sim::n5
