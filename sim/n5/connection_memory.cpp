// Connection memory (TCBs, work-request contexts, STag entries) and the TP logic analyser of the
// simulated adapter.
#include "qv/sim/n5/connection_memory.h"

#include "qv/sim/little_endian.h"

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

// A field of logical bits hi..lo (a TCB) or of a 32-bit half word (an STag entry).
struct BitField {
    uint32_t hi, lo;
};

uint32_t FieldMask(BitField f) {
    const uint32_t width = f.hi - f.lo + 1;
    return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
}

// The TCB fields set at power-on, as the tool decodes them.
constexpr BitField kTcbState{3, 0};
constexpr BitField kTcbL2tIx{17, 7};
constexpr BitField kTcbMaxRt{29, 26};
constexpr BitField kTcbMaxSegs{41, 38};
constexpr BitField kTcbFlags{90, 74};  // its top bits are then overwritten by snd una raw
constexpr BitField kTcbSndUnaRaw{115, 89};
constexpr BitField kTcbSndNxtRaw{119, 116};
constexpr BitField kTcbRcvNxt{174, 143};
constexpr BitField kTcbSndMaxRaw{217, 191};
constexpr BitField kTcbSndCwnd{244, 218};
constexpr BitField kTcbSndSsthresh{271, 245};
constexpr BitField kTcbRtseqRecent{335, 304};
constexpr BitField kTcbSrtt{351, 336};
constexpr BitField kTcbRttvar{367, 352};
constexpr BitField kTcbDip{426, 395};
constexpr BitField kTcbSip{458, 427};
constexpr BitField kTcbDp{474, 459};
constexpr BitField kTcbSp{490, 475};
constexpr BitField kTcbTimestamp{522, 491};
constexpr BitField kTcbTxMax{558, 527};
constexpr BitField kTcbRcvWnd{621, 595};
constexpr BitField kTcbCpuNo{825, 819};

constexpr uint32_t kTcbEstablished = 4;
constexpr uint32_t kTcbClosed = 0;

// A TCB's logical bit b is bit b % 32 of logical word b / 32, and logical word k is stored as
// little-endian word k ^ 2 (each pair of 64-bit words swapped).
void PutTcbField(uint8_t* tcb, BitField f, uint32_t value) {
    for (uint32_t b = f.lo; b <= f.hi; ++b) {
        const uint32_t bit = (value >> (b - f.lo)) & 1u;
        const uint32_t byte = 4 * ((b / 32) ^ 2u) + (b % 32) / 8;
        const auto mask = static_cast<uint8_t>(1u << (b % 8));
        tcb[byte] = static_cast<uint8_t>(bit ? (tcb[byte] | mask) : (tcb[byte] & ~mask));
    }
}

void PowerOnTcb(uint8_t* tcb, uint32_t t) {
    const uint32_t iss = static_cast<uint32_t>(Mix(t)) & 0x7FFFFFF;
    // In this order: a later field overwrites the bits it shares with an earlier one.
    const struct {
        BitField field;
        uint32_t value;
    } fields[] = {
        {kTcbState, t % 16 == 15 ? kTcbClosed : kTcbEstablished},  // a few closed
        {kTcbL2tIx, t % 64},
        {kTcbMaxRt, 8},
        {kTcbMaxSegs, 2},
        {kTcbFlags, 0x1A1 | (t & 1) << 4},  // recv scale, recv tstmp, keepalive ...
        {kTcbSndUnaRaw, iss + 0x5B4},
        {kTcbSndNxtRaw, 0x5},
        {kTcbRcvNxt, 0x10000000u + t * 0x1000},
        {kTcbSndMaxRaw, iss + 0x5B4},
        {kTcbSndCwnd, 4 * 0x5B4},
        {kTcbSndSsthresh, 0x3FFFFFF},
        {kTcbRtseqRecent, iss},
        {kTcbSrtt, 0x20},
        {kTcbRttvar, 0x10},
        {kTcbDip, 0x0A010002},  // 10.1.0.2
        {kTcbSip, 0x0A010001},  // 10.1.0.1
        {kTcbDp, 445},
        {kTcbSp, 1024 + t % 60000},
        {kTcbTimestamp, 0x00100000u + t},
        {kTcbTxMax, 0x5B4},
        {kTcbRcvWnd, 0xFFFF << 2},
        {kTcbCpuNo, t % 2},
    };
    for (const auto& f : fields) PutTcbField(tcb, f.field, f.value);
}

// A WRC field: its offset in the converted buffer and its width in bytes.
struct WrcField {
    uint32_t offset, width;
};

// The WRC fields set at power-on, as the tool decodes them.
constexpr WrcField kWrcTid{0, 4};
constexpr WrcField kWrcFlags{4, 2};
constexpr WrcField kWrcState{6, 1};
constexpr WrcField kWrcCredits{7, 1};
constexpr WrcField kWrcSgeEc{8, 2};
constexpr WrcField kWrcPort{11, 1};
constexpr WrcField kWrcUlp{12, 1};
constexpr WrcField kWrcCoherencyCounter{13, 1};
constexpr WrcField kWrcNumTxPages{21, 1};
constexpr WrcField kWrcMaxTxPages{22, 1};
constexpr WrcField kWrcTraceIdx{23, 1};
constexpr WrcField kWrcSndNxt{24, 4};
constexpr WrcField kWrcSndMax{28, 4};
constexpr WrcField kWrcSndUna{32, 4};
constexpr WrcField kWrcSndIss{36, 4};
constexpr WrcField kWrcPdid{40, 4};
constexpr WrcField kWrcScqid{44, 4};
constexpr WrcField kWrcRcqid{48, 4};
constexpr WrcField kWrcRqAddr{52, 4};
constexpr WrcField kWrcRqSize{56, 2};
constexpr WrcField kWrcRqWrIdx{58, 2};
constexpr WrcField kWrcMpaAttrs{60, 1};
constexpr WrcField kWrcQpCaps{61, 1};
constexpr WrcField kWrcMulpduTagged{62, 2};
constexpr WrcField kWrcMulpduUntagged{64, 2};
constexpr WrcField kWrcOrdMax{66, 2};
constexpr WrcField kWrcIrdMax{68, 2};
constexpr WrcField kWrcMarkerOffset{74, 2};
constexpr WrcField kWrcMsnSend{76, 4};
constexpr WrcField kWrcAckMode{90, 1};
constexpr WrcField kWrcSgeEcCredits{91, 1};
constexpr WrcField kWrcMaxIoLenTagged{92, 2};
constexpr WrcField kWrcMaxIoLenUntagged{94, 2};
// Three words past the decoded fields, before the buffer: seen only in the raw dump.
constexpr WrcField kWrcRawWord116{116, 4};
constexpr WrcField kWrcRawWord120{120, 4};
constexpr WrcField kWrcRawWord124{124, 4};

// The WRC's buffer (filled with 64-bit words) and its history: 16 slots of four 64-bit words.
constexpr uint32_t kWrcBufferStart = 128;
constexpr uint32_t kWrcBufferEnd = 2176;
constexpr uint32_t kWrcHistoryStart = 2336;
constexpr uint32_t kWrcHistorySlots = 16;
constexpr uint32_t kWrcHistorySlotBytes = 32;
static_assert(kWrcHistoryStart + kWrcHistorySlots * kWrcHistorySlotBytes == kSimWrcBytes);

// A WRC field, big-endian in the converted buffer: the chip's byte at the mirror position of its
// 8-byte group.
void PutWrcField(uint8_t* wrc, WrcField f, uint32_t value) {
    for (uint32_t k = 0; k < f.width; ++k) {
        const uint32_t i = f.offset + k;
        wrc[(i & ~7u) | (7 - (i & 7))] = static_cast<uint8_t>(value >> (8 * (f.width - 1 - k)));
    }
}

void PowerOnWrc(uint8_t* wrc, uint32_t t) {
    const uint32_t iss = static_cast<uint32_t>(Mix(t)) & 0x7FFFFFF;
    const struct {
        WrcField field;
        uint32_t value;
    } fields[] = {
        {kWrcTid, t},
        {kWrcFlags, 0x0011},
        {kWrcState, 2},
        {kWrcCredits, 16},
        {kWrcSgeEc, 8 + t},
        {kWrcPort, t % 2},
        {kWrcUlp, 0},
        {kWrcCoherencyCounter, 1},
        {kWrcNumTxPages, 2},
        {kWrcMaxTxPages, 8},
        {kWrcTraceIdx, 5 + t},
        {kWrcSndNxt, iss + 0x5B4},
        {kWrcSndMax, iss + 0x5B4},
        {kWrcSndUna, iss + 0x5B4},
        {kWrcSndIss, iss},
        {kWrcPdid, 1},
        {kWrcScqid, 2 * t + 2},
        {kWrcRcqid, 2 * t + 3},
        {kWrcRqAddr, 0x00080000u + t * 0x100},
        {kWrcRqSize, 256},
        {kWrcRqWrIdx, 3},
        {kWrcMpaAttrs, 0x0C},
        {kWrcQpCaps, 0x03},
        {kWrcMulpduTagged, 8192},
        {kWrcMulpduUntagged, 8192},
        {kWrcOrdMax, 8},
        {kWrcIrdMax, 8},
        {kWrcMarkerOffset, 512},
        {kWrcMsnSend, 1},
        {kWrcAckMode, 1},
        {kWrcSgeEcCredits, 4},
        {kWrcMaxIoLenTagged, 0x2000},
        {kWrcMaxIoLenUntagged, 0x2000},
        {kWrcRawWord116, 0x40},
        {kWrcRawWord120, 0x40},
        {kWrcRawWord124, 0},
    };
    for (const auto& f : fields) PutWrcField(wrc, f.field, f.value);
    for (uint32_t at = kWrcBufferStart; at < kWrcBufferEnd; at += 8) {
        PutBig64(wrc + at, Mix(uint64_t{t} << 32 | at));
    }
    for (uint32_t slot = 0; slot < kWrcHistorySlots; ++slot) {
        const uint32_t at = kWrcHistoryStart + kWrcHistorySlotBytes * slot;
        PutBig64(wrc + at, uint64_t{0x0F000000u | slot} << 32 | (t << 8));
        PutBig64(wrc + at + 8, uint64_t{iss + 0x5B4 * slot});
        PutBig64(wrc + at + 16, Mix(uint64_t{t} << 8 | slot));
        PutBig64(wrc + at + 24, 0);
    }
}

// An STag entry is four little-endian 64-bit words; its 32-bit halves are numbered from word 0's
// high half (e0) to word 3's low half (e7).
struct StagField {
    uint32_t half;
    BitField bits;
};

constexpr StagField kStagValid{0, {31, 31}};
constexpr StagField kStagKey{0, {30, 23}};
constexpr StagField kStagState{0, {22, 22}};
constexpr StagField kStagPdid{0, {19, 0}};
constexpr StagField kStagPerms{1, {29, 28}};
constexpr StagField kStagBindEnable{1, {25, 25}};
constexpr StagField kStagQpid{1, {19, 0}};
constexpr StagField kStagPblAddr{2, {28, 0}};
constexpr StagField kStagLength{3, {31, 0}};
constexpr StagField kStagVaHigh{4, {31, 0}};
constexpr StagField kStagVaLow{5, {31, 0}};
constexpr StagField kStagBindCount{6, {23, 0}};
constexpr uint32_t kStagHalves = 8;

void PowerOnStag(uint8_t* entry, uint32_t index) {
    const uint64_t va = 0x00007F0000000000ull + uint64_t{index} * 0x10000;
    const struct {
        StagField field;
        uint32_t value;
    } fields[] = {
        {kStagValid, 1},
        {kStagKey, index & 0xFF},
        {kStagState, 1},
        {kStagPdid, 1},
        {kStagPerms, 3},
        {kStagBindEnable, 1},
        {kStagQpid, index % 64 + 1},
        {kStagPblAddr, 0x00100000u + 8 * index},
        {kStagLength, 4096 * (index % 16 + 1)},
        {kStagVaHigh, static_cast<uint32_t>(va >> 32)},
        {kStagVaLow, static_cast<uint32_t>(va)},
        {kStagBindCount, index % 4},
    };
    uint32_t halves[kStagHalves] = {};
    for (const auto& f : fields) {
        halves[f.field.half] |= (f.value & FieldMask(f.field.bits)) << f.field.bits.lo;
    }
    for (uint32_t w = 0; w < kStagHalves / 2; ++w) {
        Put64(entry + 8 * w, uint64_t{halves[2 * w]} << 32 | halves[2 * w + 1]);
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

// Captures n samples: each goes to the write pointer's slot, which then moves on.
void TpLaCapture(TpLogicAnalyser* la, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        la->writePointer %= kTpLaSlots;
        la->samples[la->writePointer] = SyntheticSample(la->captured++);
        la->writePointer = (la->writePointer + 1) % kTpLaSlots;
    }
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
