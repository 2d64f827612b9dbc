// Function 25: a read of adapter memory (connection control blocks, work-request contexts, STag
// entries). The request is a 20-byte input record; the answer goes to a separate buffer of the
// requested length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/ioctl_records.h"

namespace qv::qvtool {

enum class MemoryKind : uint32_t {
    kConnection = 0,  // TCBs and work-request contexts
    kStag = 1,        // the RDMA translation table
};

#pragma pack(push, 1)

struct MemoryReadRecord {
    uint32_t ioControlCode;  // the request's own code, IoControlCode(IoFunction::kMemoryRead)
    uint32_t kind;           // MemoryKind
    uint32_t address;
    uint32_t length;
    uint32_t reserved;  // not filled in
};

#pragma pack(pop)

static_assert(sizeof(MemoryReadRecord) == 20);
static_assert(offsetof(MemoryReadRecord, ioControlCode) == 0 && offsetof(MemoryReadRecord, kind) == 4);
static_assert(offsetof(MemoryReadRecord, address) == 8 && offsetof(MemoryReadRecord, length) == 12);
static_assert(offsetof(MemoryReadRecord, reserved) == 16);

// The request record for a read of into.size() bytes at address.
MemoryReadRecord MakeMemoryReadRecord(MemoryKind kind, uint32_t address, uint32_t length);

// Reads into.size() bytes of adapter memory. The buffer is zeroed first and only the bytes the
// driver says it returned are kept, so a short answer leaves zeros rather than stale data. False
// when the request failed.
bool ReadAdapterMemory(HDevice device, MemoryKind kind, uint32_t address, std::span<uint8_t> into);

// Copies min(returned, answer.size(), into.size()) bytes of a driver's answer into into and zeroes the
// rest: the one place where a returned length decides how much of a buffer is data.
void KeepReturnedBytes(std::span<const uint8_t> answer, uint32_t returned, std::span<uint8_t> into);

}  // namespace qv::qvtool
