// Connection memory (TCBs, work-request contexts, STag entries) and the TP logic analyser of the
// simulated adapter.
#include "qv/sim/n5/connection_memory.h"

#include <cstring>

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kReadPointerMask = kTpLaSlots - 1;
constexpr uint32_t kTptLowerLimit = 0x00400000;
constexpr uint32_t kTpLaMode = 0x8000;  // bits 15:14 = 2: the samples alternate between two formats
constexpr uint32_t kTpLaPowerOnPointer = 0x40;

// Offset of stored object bytes for a memory address, or false outside the stored objects.
bool Within(uint32_t address, uint32_t base, uint32_t size, uint32_t* offset) {
    const uint32_t delta = address - base;  // wraps for addresses below base
    if (delta >= size) return false;
    *offset = delta;
    return true;
}

uint64_t Mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A TCB's logical bit b is bit b % 32 of logical word b / 32, and logical word k is stored as
// little-endian word k ^ 2 (each pair of 64-bit words swapped).
void PutTcbBits(uint8_t* tcb, uint32_t hi, uint32_t lo, uint32_t value) {
    for (uint32_t b = lo; b <= hi; ++b) {
        const uint32_t bit = (value >> (b - lo)) & 1u;
        const uint32_t byte = 4 * ((b / 32) ^ 2u) + (b % 32) / 8;
        const auto mask = static_cast<uint8_t>(1u << (b % 8));
        tcb[byte] = static_cast<uint8_t>(bit ? (tcb[byte] | mask) : (tcb[byte] & ~mask));
    }
}

void PowerOnTcb(uint8_t* tcb, uint32_t t) {
    const uint32_t iss = static_cast<uint32_t>(Mix(t)) & 0x7FFFFFF;
    PutTcbBits(tcb, 3, 0, t % 16 == 15 ? 0 : 4);          // established, a few closed
    PutTcbBits(tcb, 17, 7, t % 64);                       // l2t ix
    PutTcbBits(tcb, 29, 26, 8);                           // max rt
    PutTcbBits(tcb, 41, 38, 2);                           // t maxsegs
    PutTcbBits(tcb, 90, 74, 0x1A1 | (t & 1) << 4);        // flags: recv scale, recv tstmp, keepalive ...
    PutTcbBits(tcb, 115, 89, iss + 0x5B4);                // snd una raw
    PutTcbBits(tcb, 119, 116, 0x5);                       // snd nxt raw
    PutTcbBits(tcb, 174, 143, 0x10000000u + t * 0x1000);  // rcv nxt
    PutTcbBits(tcb, 217, 191, iss + 0x5B4);               // snd max raw
    PutTcbBits(tcb, 244, 218, 4 * 0x5B4);                 // snd cwnd
    PutTcbBits(tcb, 271, 245, 0x3FFFFFF);                 // snd ssthresh
    PutTcbBits(tcb, 335, 304, iss);                       // t rtseq recent
    PutTcbBits(tcb, 351, 336, 0x20);                      // t srtt
    PutTcbBits(tcb, 367, 352, 0x10);                      // t rttvar
    PutTcbBits(tcb, 426, 395, 0x0A010002);                // dip 10.1.0.2
    PutTcbBits(tcb, 458, 427, 0x0A010001);                // sip 10.1.0.1
    PutTcbBits(tcb, 474, 459, 445);                       // dp
    PutTcbBits(tcb, 490, 475, 1024 + t % 60000);          // sp
    PutTcbBits(tcb, 522, 491, 0x00100000u + t);           // timestamp
    PutTcbBits(tcb, 558, 527, 0x5B4);                     // tx max
    PutTcbBits(tcb, 621, 595, 0xFFFF << 2);               // rcv wnd
    PutTcbBits(tcb, 825, 819, t % 2);                     // cpu no
}

// A WRC field, big-endian in the converted buffer: the chip's byte at the mirror position of its
// 8-byte group.
void PutWrcField(uint8_t* wrc, uint32_t offset, uint32_t width, uint32_t value) {
    for (uint32_t k = 0; k < width; ++k) {
        const uint32_t i = offset + k;
        wrc[(i & ~7u) | (7 - (i & 7))] = static_cast<uint8_t>(value >> (8 * (width - 1 - k)));
    }
}

// A 64-bit word of a WRC as the chip stores it: big-endian.
void PutWrc64(uint8_t* wrc, uint32_t offset, uint64_t value) {
    for (uint32_t k = 0; k < 8; ++k) wrc[offset + k] = static_cast<uint8_t>(value >> (8 * (7 - k)));
}

void PowerOnWrc(uint8_t* wrc, uint32_t t) {
    const uint32_t iss = static_cast<uint32_t>(Mix(t)) & 0x7FFFFFF;
    const struct {
        uint32_t offset, width, value;
    } fields[] = {
        {0, 4, t},
        {4, 2, 0x0011},
        {6, 1, 2},
        {7, 1, 16},
        {8, 2, 8 + t},
        {11, 1, t % 2},
        {12, 1, 0},
        {13, 1, 1},
        {21, 1, 2},
        {22, 1, 8},
        {23, 1, 5 + t},
        {24, 4, iss + 0x5B4},
        {28, 4, iss + 0x5B4},
        {32, 4, iss + 0x5B4},
        {36, 4, iss},
        {40, 4, 1},
        {44, 4, 2 * t + 2},
        {48, 4, 2 * t + 3},
        {52, 4, 0x00080000u + t * 0x100},
        {56, 2, 256},
        {58, 2, 3},
        {60, 1, 0x0C},
        {61, 1, 0x03},
        {62, 2, 8192},
        {64, 2, 8192},
        {66, 2, 8},
        {68, 2, 8},
        {74, 2, 512},
        {76, 4, 1},
        {90, 1, 1},
        {91, 1, 4},
        {92, 2, 0x2000},
        {94, 2, 0x2000},
        {116, 4, 0x40},
        {120, 4, 0x40},
        {124, 4, 0},
    };
    for (const auto& f : fields) PutWrcField(wrc, f.offset, f.width, f.value);
    for (uint32_t at = 128; at < 2176; at += 8) PutWrc64(wrc, at, Mix(uint64_t{t} << 32 | at));
    for (uint32_t slot = 0; slot < 16; ++slot) {
        const uint32_t at = 2336 + 32 * slot;
        PutWrc64(wrc, at, uint64_t{0x0F000000u | slot} << 32 | (t << 8));
        PutWrc64(wrc, at + 8, uint64_t{iss + 0x5B4 * slot});
        PutWrc64(wrc, at + 16, Mix(uint64_t{t} << 8 | slot));
        PutWrc64(wrc, at + 24, 0);
    }
}

void PowerOnStag(uint8_t* entry, uint32_t index) {
    const uint32_t e0 = 1u << 31 | (index & 0xFF) << 23 | 1u << 22 | 1;  // valid, key, state, pdid 1
    const uint32_t e1 = 3u << 28 | 1u << 25 | (index % 64 + 1);          // perms, bind enable, qpid
    const uint32_t e2 = 0x00100000u + 8 * index;                         // PBL address
    const uint32_t e3 = 4096 * (index % 16 + 1);                         // length
    const uint64_t va = 0x00007F0000000000ull + uint64_t{index} * 0x10000;
    const uint64_t words[4] = {uint64_t{e0} << 32 | e1, uint64_t{e2} << 32 | e3, va,
                               uint64_t{index % 4} << 32};
    for (uint32_t w = 0; w < 4; ++w) {
        for (uint32_t k = 0; k < 8; ++k) entry[8 * w + k] = static_cast<uint8_t>(words[w] >> (8 * k));
    }
}

// A plausible sample: an opcode, a state pair, a connection id and a few status bits.
uint64_t SyntheticSample(uint64_t n) {
    const uint64_t r = Mix(n + 1);
    const uint32_t hi = static_cast<uint32_t>(n % 8) << 28 | static_cast<uint32_t>(n % 11) << 24 |
                        static_cast<uint32_t>(n % 5) << 20 | static_cast<uint32_t>(r >> 40 & 0xF) << 16 |
                        static_cast<uint32_t>(0x10 + n % 32);
    return uint64_t{hi} << 32 | static_cast<uint32_t>(r);
}

}  // namespace

uint8_t ConnectionMemoryPattern(uint32_t kind, uint32_t address) {
    return static_cast<uint8_t>(Mix(uint64_t{kind} << 32 | address) >> 56);
}

bool ReadConnectionMemory(const ConnectionMemory& memory, const uint32_t* registers, uint32_t kind,
                          uint32_t address, uint8_t* into, uint32_t length) {
    if (kind != kSimMemoryConnection && kind != kSimMemoryStag) return false;
    const uint32_t wrcBase = registers[kRegSdramBaseAddr / 4] + kSimWrcRegion;
    const uint32_t stagBase = registers[kRegTptLowerLimit / 4];
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t a = address + i;
        uint32_t at = 0;
        if (kind == kSimMemoryStag) {
            into[i] = Within(a, stagBase, sizeof memory.stag, &at) ? memory.stag[at]
                                                                   : ConnectionMemoryPattern(kind, a);
        } else if (Within(a, 0, sizeof memory.tcb, &at)) {
            into[i] = memory.tcb[at];
        } else if (Within(a, wrcBase, sizeof memory.wrc, &at)) {
            into[i] = memory.wrc[at];
        } else {
            into[i] = ConnectionMemoryPattern(kind, a);
        }
    }
    return true;
}

uint8_t* StoredTcb(ConnectionMemory* memory, uint32_t tid) {
    return tid < kSimTcbCount ? memory->tcb + tid * kSimTcbBytes : nullptr;
}
uint8_t* StoredWrc(ConnectionMemory* memory, uint32_t tid) {
    return tid < kSimWrcCount ? memory->wrc + tid * kSimWrcBytes : nullptr;
}
uint8_t* StoredStag(ConnectionMemory* memory, uint32_t stag) {
    const uint32_t index = stag >> 8;
    return index < kSimStagCount ? memory->stag + index * kSimStagBytes : nullptr;
}

bool IsTpLaRegister(uint32_t offset) {
    return offset == kRegTpLaConfig || offset == kRegTpLaDataHigh || offset == kRegTpLaDataLow;
}

void TpLaCapture(TpLogicAnalyser* la, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        la->writePointer %= kTpLaSlots;
        la->samples[la->writePointer] = SyntheticSample(la->captured++);
        la->writePointer = (la->writePointer + 1) % kTpLaSlots;
    }
}

bool TpLaReadRegister(TpLogicAnalyser* la, uint32_t* config, uint32_t offset, uint32_t* value) {
    const uint64_t sample = la->samples[*config & kReadPointerMask];
    switch (offset) {
        case kRegTpLaConfig:
            TpLaCapture(la, la->step % (kTpLaSlots + 1));
            *value = (la->writePointer % kTpLaSlots) << 16 | (*config & 0xFFFF);
            return true;
        case kRegTpLaDataHigh:
            *value = static_cast<uint32_t>(sample >> 32);
            return true;
        case kRegTpLaDataLow:
            *value = static_cast<uint32_t>(sample);
            return true;
        default:
            return false;
    }
}

bool TpLaWriteRegister(uint32_t* config, uint32_t offset, uint32_t value) {
    if (offset == kRegTpLaConfig) *config = value & 0xFFFF;  // the write pointer is the analyser's
    return true;                                             // the data registers are read-only
}

void PowerOnConnectionMemory(ConnectionMemory* memory, uint32_t* registers) {
    for (uint32_t t = 0; t < kSimTcbCount; ++t) PowerOnTcb(StoredTcb(memory, t), t);
    for (uint32_t t = 0; t < kSimWrcCount; ++t) PowerOnWrc(StoredWrc(memory, t), t);
    for (uint32_t i = 0; i < kSimStagCount; ++i) PowerOnStag(memory->stag + i * kSimStagBytes, i);
    registers[kRegTptLowerLimit / 4] = kTptLowerLimit;
    registers[kRegTpLaConfig / 4] = kTpLaMode;
    memory->la = TpLogicAnalyser{};
    TpLaCapture(&memory->la, kTpLaSlots + kTpLaPowerOnPointer);
}

}  // namespace qv::sim::n5
