// Power-on contents of the on-chip state: every SGE queue of every queue set set up and running,
// a few descriptors in each, the TP tables as a driver programs them, a logic-analyser capture, and
// packets waiting in the CIM's queues.
#include "qv/sim/little_endian.h"
#include "qv/sim/n5/state_layout.h"

namespace qv::sim::n5 {
namespace {

constexpr uint64_t kQueueMemory = 0x1F4000000ull;  // where the driver's rings lie, page aligned
constexpr uint64_t kRingBytes = 0x10000;
constexpr uint32_t kRingEntries = 1024;

// base >> 12 split as the egress context keeps it: f0 bits 31:0 high, h3 low.
QueueContext EgressContext(uint32_t id, uint32_t slot) {
    const uint64_t page = (kQueueMemory + slot * kRingBytes) >> 12;
    const uint32_t tun = id >= 8 && id < 16 ? 1 : 0;
    const uint32_t toe = id < 8 ? 1 : 0;
    const uint32_t w1 =
        1u << 31 | (0x200u + slot) << 11 | 1u << 10 | toe << 9 | tun << 8 | (slot % 2) << 7 | (slot % 8) << 4;
    const uint64_t index = (slot * 37 + 5) % kRingEntries;
    const uint64_t credits = kRingEntries - 1 - index % 64;
    QueueContext c{};
    c.f0 = static_cast<uint64_t>(w1) << 32 | (page >> 16);
    c.f1 =
        (page & 0xFFFF) << 48 | static_cast<uint64_t>(kRingEntries) << 32 | index << 16 | 1u << 15 | credits;
    return c;
}

QueueContext FreeListContext(uint32_t id) {
    const uint64_t page = (kQueueMemory + (32 + id) * kRingBytes) >> 12;
    const uint64_t entrySize = id % 2 == 0 ? 2048 : 16384;
    const uint64_t index = (id * 53 + 9) % kRingEntries;
    QueueContext c{};
    c.f0 = uint64_t{0x40} << 53 | entrySize << 21 | uint64_t{1} << 20 | uint64_t{kRingEntries} << 4 |
           index >> 12;
    c.f1 = (index & 0xFFF) << 52 | page;
    return c;
}

QueueContext ResponseContext(uint32_t id) {
    const uint64_t page = (kQueueMemory + (64 + id) * kRingBytes) >> 12;
    const uint32_t w0 =
        1u << 29 | 1u << 28 | 1u << 27 | 1u << 26 | id << 20 | static_cast<uint32_t>(page >> 32);
    const uint32_t flThresh = 16;
    const uint64_t index = (id * 29 + 3) % kRingEntries;
    QueueContext c{};
    c.f0 = static_cast<uint64_t>(flThresh) << 32 | w0;
    c.f1 = (page & 0xFFFFFFFF) << 32 | uint64_t{kRingEntries} << 16 | index;
    return c;
}

// Egress queues hold 64-byte work requests, response queues and free lists 16-byte entries.
Descriptor MakeDescriptor(uint32_t qset, uint32_t kind, uint32_t index) {
    Descriptor d{};
    d.length = kind < 3 ? 64 : 16;
    const uint64_t cmd = kind < 3 ? 0x0B + kind : (kind == 3 ? 0x21 : 0x30);
    const uint64_t flags = kind < 3 ? (index % 2 == 0 ? 0xDull : 0x6ull) : 0x0ull;  // SOP, EOP, COMPL, SGL
    const uint64_t tid = (qset << 12) | (kind << 8) | index;
    const uint64_t header = cmd << 56 | flags << 52 | tid << 8 | d.length / 8;
    PutBig64(d.data, header);
    for (uint32_t w = 1; w < d.length / 8; ++w) {
        const uint64_t address = kQueueMemory + 0x800000 + (uint64_t{qset} << 20) + (index << 12) + w * 0x100;
        PutBig64(d.data + 8 * w, w % 2 == 1 ? (uint64_t{1514} << 32 | (w * 0x1111u)) : address);
    }
    return d;
}

void PowerOnTables(uint32_t* words) {
    constexpr uint32_t kMtus[16] = {88,   256,  512,  576,  808,  1024, 1280, 1488,
                                    1500, 2002, 2048, 4096, 4352, 8192, 9000, 9600};
    uint32_t* pace = words + TpTableStart(0);
    uint32_t* cctrl = words + TpTableStart(1);
    uint32_t* tos = words + TpTableStart(2);
    uint32_t* mtu = words + TpTableStart(3);
    uint32_t* map = words + TpTableStart(4);
    uint32_t* lkp = words + TpTableStart(5);
    uint32_t* txmod = words + TpTableStart(6);
    for (uint32_t i = 0; i < 8; ++i) pace[i] = (i * 3) % 8;
    for (uint32_t i = 0; i < 512; ++i) cctrl[i] = (i / 32 + 1) * 0x40 + i % 32;
    for (uint32_t i = 0; i < 64; ++i) tos[i] = i >> 3;
    for (uint32_t i = 0; i < 16; ++i) {
        uint32_t width = 0;
        while ((kMtus[i] >> (width + 1)) != 0) ++width;
        mtu[i] = width << 16 | kMtus[i];
    }
    for (uint32_t i = 0; i < 64; ++i) map[i] = (i < 48 ? 1u << 31 : 0) | (i % 8);
    for (uint32_t i = 0; i < 64; ++i) lkp[i] = (i < 60 ? 1u << 31 : 0) | ((i * 2) % 16);
    for (uint32_t i = 0; i < 16; ++i) txmod[i] = (0x100 + i * 0x11) & 0xFFF;
}

void PowerOnCim(ChipState* chip, uint32_t* cim) {
    cim[0x00] = 0x0000F0F0;  // inbound queue configuration
    cim[0x04] = 0x00000700;  // outbound queue configuration
    cim[0x08] = 0x0000000A;
    cim[0x0C] = 0x00000005;
    for (uint32_t q = 0; q < kCimInboundQueues + kCimOutboundQueues; ++q) {
        const uint32_t base = q < kCimInboundQueues ? 0x10 + 16 * q : 0x50 + 16 * (q - kCimInboundQueues);
        cim[base] = 0x80 * q + 0x10;      // read address
        cim[base + 4] = 0x80 * q + 0x28;  // write address
        cim[base + 8] = 0x00000001;       // status: enabled
        cim[base + 12] = (q + 2) << 16 | (q + 1);
        for (uint32_t e = 0; e < kCimQueueEntries; ++e) {
            chip->cimQueues[q][e] = (q + 1) << 28 | (e * 0x00010203u & 0x0FFFFFFF);
        }
    }
    cim[0x80] = 0x00240001;  // logic analyser running, write pointer 0x24 (an entry's first word)
    for (uint32_t i = 0; i < kCimLaWords; ++i) {
        const uint32_t entry = i / 4;
        const uint32_t words[4] = {entry * 2 % 0x10000, 0x10000000 | entry << 8 | 0x3C, 0x8000 + entry * 4,
                                   0xFFFFFFFF};
        chip->cimLa[i] = words[i % 4];
    }
    for (uint32_t i = 0; i < 4; ++i) cim[0x2000 + 0xA0 + 4 * i] = 0x00C00000 | i << 8 | (i == 0 ? 1 : 0);
}

}  // namespace

void PowerOnChip(ChipState* chip, uint32_t* cim) {
    for (uint32_t slot = 0; slot < kEgressContexts; ++slot) {
        chip->egress[slot] = EgressContext(slot < 16 ? slot : 0xFFF8 + slot - 16, slot);
    }
    for (uint32_t id = 0; id < kFreeListContexts; ++id) chip->freeList[id] = FreeListContext(id);
    for (uint32_t id = 0; id < kResponseContexts; ++id) chip->response[id] = ResponseContext(id);
    for (uint32_t q = 0; q < kDescriptorQueues; ++q) {
        for (uint32_t i = 0; i < kDescriptorSlots; ++i) {
            chip->descriptors[q][i] = MakeDescriptor(q / kQueueKinds, q % kQueueKinds, i);
        }
    }
    PowerOnTables(chip->tpTables);
    PowerOnCim(chip, cim);
}

}  // namespace qv::sim::n5
