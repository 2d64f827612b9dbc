// The bus driver's answers about connection state: function 25, the adapter memory read.
#pragma once

#include "request_record.h"

namespace qv::sim::n5 {

// Input: a 20-byte record (its own I/O-control code, the memory kind, the address, the length, a
// word not filled in). Output: min(length, output capacity) bytes of that memory.
int32_t MemoryRead(Adapter& adapter, const Request& request);

}  // namespace qv::sim::n5
