// The records of the bus driver's version, trace-buffer, queue-set parameter and port
// identification functions (26, 28, 29, 31). Little-endian, handed to the driver as input and, where
// the function answers, as output buffer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv::qvtool {

#pragma pack(push, 1)

// Function 26: the bus driver's version, four numbers printed in order. No input.
struct VersionInfoRecord {
    uint32_t part[4];
};

// Function 28 fills a buffer of kTraceBufferBytes with entries laid one after another, each this
// header followed by its zero-terminated message.
struct TraceEntryHeader {
    uint64_t distance;  // bytes from this entry to the next; 0 ends the buffer
    uint32_t number;
    uint32_t reserved;
    int64_t first;
    int64_t second;
};

// Function 29: read or set one parameter of a queue set; a read answers in value.
struct QsetParamRecord {
    uint32_t qset;   // 0 to 7
    uint32_t set;    // 1: set the parameter to value; 0: read it
    uint32_t index;  // the parameter (kQsetParamNames)
    uint32_t value;
};

// Function 31: blink the port lights for a number of seconds. Input only.
struct PortIdentifyRecord {
    int32_t seconds;
};

#pragma pack(pop)

constexpr uint32_t kTraceBufferBytes = 2048;

static_assert(sizeof(VersionInfoRecord) == 16);
static_assert(sizeof(TraceEntryHeader) == 32);
static_assert(offsetof(TraceEntryHeader, number) == 8 && offsetof(TraceEntryHeader, first) == 16);
static_assert(offsetof(TraceEntryHeader, second) == 24);
static_assert(sizeof(QsetParamRecord) == 16);
static_assert(offsetof(QsetParamRecord, set) == 4 && offsetof(QsetParamRecord, index) == 8);
static_assert(offsetof(QsetParamRecord, value) == 12);
static_assert(sizeof(PortIdentifyRecord) == 4);

}  // namespace qv::qvtool
