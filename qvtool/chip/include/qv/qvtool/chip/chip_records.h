// The records of the bus driver's SGE requests: a queue context (function 9) and a descriptor
// (function 30). Each is handed to the driver as input and output buffer; the answer overwrites it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv::qvtool {

// Context types of function 9.
constexpr uint32_t kContextEgressTunnel = 0;  // also the plain egress display ("qp")
constexpr uint32_t kContextEgressOffload = 1;
constexpr uint32_t kContextEgressControl = 2;
constexpr uint32_t kContextFreeList = 3;
constexpr uint32_t kContextResponse = 4;

constexpr size_t kDescriptorDataBytes = 128;
constexpr uint32_t kQueueKindsPerQset = 6;  // tun, toe, ctrl, rspq, flq1, flq2

#pragma pack(push, 1)

// Function 9: one queue context, two 64-bit words.
struct ContextRecord {
    uint32_t type;
    uint32_t id;
    uint64_t f0;  // returned
    uint64_t f1;  // returned
};

// Function 30: one descriptor of one queue.
struct DescriptorRecord {
    uint32_t queue;   // queue set * kQueueKindsPerQset + queue kind
    uint32_t index;   // descriptor index within the queue
    uint32_t length;  // returned: bytes of data, as the driver says (not trusted)
    uint8_t data[kDescriptorDataBytes];
};

#pragma pack(pop)

static_assert(sizeof(ContextRecord) == 24);
static_assert(offsetof(ContextRecord, id) == 4 && offsetof(ContextRecord, f0) == 8);
static_assert(offsetof(ContextRecord, f1) == 16);
static_assert(sizeof(DescriptorRecord) == 140);
static_assert(offsetof(DescriptorRecord, index) == 4 && offsetof(DescriptorRecord, length) == 8);
static_assert(offsetof(DescriptorRecord, data) == 12);

}  // namespace qv::qvtool
