#include "chip_answers.h"

#include <cstring>

#include "qv/platform/wintypes.h"

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kContextRecordSize = 24;      // type u32, id u32, f0 u64, f1 u64
constexpr uint32_t kDescriptorRecordSize = 140;  // queue u32, index u32, length u32, 128 data bytes

constexpr uint32_t kEgressControl = 2;  // the last of the three egress types
constexpr uint32_t kFreeList = 3;
constexpr uint32_t kResponse = 4;

}  // namespace

QueueContext* FindQueueContext(ChipState& chip, uint32_t type, uint32_t id) {
    if (type <= kEgressControl && id < 16) return &chip.egress[id];
    if (type <= kEgressControl && id >= 0xFFF8 && id <= 0xFFFF) return &chip.egress[16 + (id - 0xFFF8)];
    if (type == kFreeList && id < kFreeListContexts) return &chip.freeList[id];
    if (type == kResponse && id < kResponseContexts) return &chip.response[id];
    return nullptr;
}

uint32_t TpTableStart(uint32_t table) {
    uint32_t start = 0;
    for (uint32_t t = 0; t < table && t < kTpTableCount; ++t) start += kTpTableEntries[t];
    return start;
}

int32_t QueueContextRead(Adapter& a, const Request& r) {
    if (r.inSize < 8 || r.outCapacity < kContextRecordSize) return kErrorInsufficientBuffer;
    ChipState& chip = a.state().chip;
    chip.lastContextType = Get32(r.buffer);
    chip.lastContextId = Get32(r.buffer + 4);
    const QueueContext* context = FindQueueContext(chip, chip.lastContextType, chip.lastContextId);
    if (context == nullptr) return kErrorInvalidParameter;
    Put64(r.buffer + 8, context->f0);
    Put64(r.buffer + 16, context->f1);
    return Answered(r, kContextRecordSize);
}

int32_t TpTableRead(Adapter& a, const Request& r, uint32_t table) {
    if (table >= kTpTableCount) return kErrorInvalidParameter;
    const uint32_t bytes = kTpTableEntries[table] * 4;
    if (r.outCapacity < bytes) return kErrorInsufficientBuffer;
    const uint32_t* entries = a.state().chip.tpTables + TpTableStart(table);
    for (uint32_t i = 0; i < kTpTableEntries[table]; ++i) Put32(r.buffer + 4 * i, entries[i]);
    return Answered(r, bytes);
}

int32_t DescriptorRead(Adapter& a, const Request& r) {
    if (r.inSize < 8 || r.outCapacity < kDescriptorRecordSize) return kErrorInsufficientBuffer;
    const uint32_t queue = Get32(r.buffer);
    const uint32_t index = Get32(r.buffer + 4);
    if (queue >= kDescriptorQueues || index >= kDescriptorSlots) return kErrorInvalidParameter;
    const Descriptor& d = a.state().chip.descriptors[queue][index];
    Put32(r.buffer + 8, d.length);
    std::memcpy(r.buffer + 12, d.data, kDescriptorBytes);
    return Answered(r, kDescriptorRecordSize);
}

}  // namespace qv::sim::n5
