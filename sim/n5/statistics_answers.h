// The bus driver's answers to the statistics functions 10 to 17, from the adapter's Statistics: each
// answer is the kept image of its record, written over the request after its input field (the port,
// queue set or connection number, which stays as sent).
#pragma once

#include "qv/platform/wintypes.h"
#include "request_record.h"

namespace qv::sim::n5 {

// Copies image[keep..size) over the request; the first `keep` bytes are the request's input.
int32_t AnswerImage(const Request& r, const uint8_t* image, uint32_t size, uint32_t keep);

// Functions 10 to 12: the record of the port or queue set given by the u32 at the request's start.
template <auto member>
int32_t AnswerIndexedStats(Adapter& a, const Request& r) {
    const auto& images = a.state().stats.*member;
    constexpr uint32_t size = sizeof images[0];
    if (r.inSize < size || r.outCapacity < size) return kErrorInsufficientBuffer;
    const uint32_t index = Get32(r.buffer);
    if (index >= sizeof images / size) return kErrorInvalidParameter;
    return AnswerImage(r, images[index], size, 4);
}

// Functions 13 to 16: the adapter's one record of its kind.
template <auto member>
int32_t AnswerStats(Adapter& a, const Request& r) {
    const auto& image = a.state().stats.*member;
    return AnswerImage(r, image, sizeof image, 0);
}

int32_t AnswerConnectionStats(Adapter& a, const Request& r);  // 17: connection u32, index u32 in

}  // namespace qv::sim::n5
