// The pieces every request handler of the simulated bus driver uses: the request as the driver
// sees it, and little-endian field access.
#pragma once

#include <cstdint>

#include "qv/platform/wintypes.h"
#include "qv/sim/little_endian.h"
#include "qv/sim/n5/adapter.h"

namespace qv::sim::n5 {

// A request: its buffer (input in place, answer written over it) and sizes, and what the answer
// returns.
struct Request {
    uint8_t* buffer;
    uint32_t inSize;
    uint32_t outCapacity;
    uint32_t* returned;
};

// Answers one request: 0 or the Win32 error the I/O-control call reports.
using Handler = int32_t (*)(Adapter& adapter, const Request& request);

// What a handler that has written its answer returns: the answer is size bytes long.
inline int32_t Answered(const Request& request, uint32_t size) {
    *request.returned = size;
    return kErrorSuccess;
}

}  // namespace qv::sim::n5
