// The statistics functions: each answer is the kept image of its record, written over the request
// after its input field (the port, queue set or connection number, which stays as sent).
#include "statistics_answers.h"

#include <cstring>

#include "qv/platform/wintypes.h"

namespace qv::sim::n5 {
namespace {

// Copies image[keep..size) over the request; the first `keep` bytes are the request's input.
int32_t AnswerImage(const Request& r, const uint8_t* image, uint32_t size, uint32_t keep) {
    if (r.inSize < size || r.outCapacity < size) return kErrorInsufficientBuffer;
    std::memcpy(r.buffer + keep, image + keep, size - keep);
    *r.returned = size;
    return kErrorSuccess;
}

// A record selected by the u32 at the start of the request: one of `count` images.
template <uint32_t count, uint32_t size>
int32_t AnswerIndexed(const Request& r, const uint8_t (&images)[count][size]) {
    if (r.inSize < size || r.outCapacity < size) return kErrorInsufficientBuffer;
    const uint32_t index = Get32(r.buffer);
    if (index >= count) return kErrorInvalidParameter;
    return AnswerImage(r, images[index], size, 4);
}

}  // namespace

int32_t AnswerPortLink(Adapter& a, const Request& r) {
    return AnswerIndexed(r, a.state().stats.portLink);
}
int32_t AnswerMacStats(Adapter& a, const Request& r) {
    return AnswerIndexed(r, a.state().stats.mac);
}
int32_t AnswerQsetStats(Adapter& a, const Request& r) {
    return AnswerIndexed(r, a.state().stats.qset);
}
int32_t AnswerInterruptStats(Adapter& a, const Request& r) {
    return AnswerImage(r, a.state().stats.interrupts, kInterruptStatsBytes, 0);
}
int32_t AnswerIpStats(Adapter& a, const Request& r) {
    return AnswerImage(r, a.state().stats.ip, kIpStatsBytes, 0);
}
int32_t AnswerTcpStats(Adapter& a, const Request& r) {
    return AnswerImage(r, a.state().stats.tcp, kTcpStatsBytes, 0);
}
int32_t AnswerOffloadStats(Adapter& a, const Request& r) {
    return AnswerImage(r, a.state().stats.offload, kOffloadStatsBytes, 0);
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
    *r.returned = kConnectionBytes;
    return kErrorSuccess;
}

}  // namespace qv::sim::n5
