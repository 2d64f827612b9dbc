// The adapter memory behind the connection state dumps, and the transport processor's logic
// analyser.
//
// Memory reads (function 25) come in two kinds: 0 is connection memory, where the TCB of
// connection t lies at t * 128 and its work-request context at sdram_base_addr (register 0x28C) +
// 0x300000 + t * 2848; 1 is the RDMA translation table, where STag s's 32-byte entry lies at
// tpt_llimit (register 0x58C) + (s >> 8) * 32. Only the first kSimTcbCount TCBs, kSimWrcCount
// WRCs and kSimStagCount entries are stored (and can be set); every other byte reads a
// deterministic pattern computed from its kind and address. WRCs are kept as the chip keeps them,
// big-endian 64-bit words; TCBs and STag entries as little-endian words.
//
// The logic analyser holds kTpLaSlots 64-bit samples. Its config register (0x4D4) reads the write
// pointer in bits 31:16 over the stored low half (bits 15:14 the capture mode, bits 6:0 the read
// pointer); writes change only the low half. Registers 0x4D8 and 0x4DC read the high and low word of
// the sample at the read pointer. While running, every read of the config register first captures
// `step` new samples, moving the write pointer on.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

constexpr uint32_t kSimTcbBytes = 128;
constexpr uint32_t kSimTcbCount = 1024;
constexpr uint32_t kSimWrcBytes = 2848;
constexpr uint32_t kSimWrcCount = 16;
constexpr uint32_t kSimWrcRegion = 0x300000;
constexpr uint32_t kSimStagBytes = 32;
constexpr uint32_t kSimStagCount = 512;
constexpr uint32_t kTpLaSlots = 128;

constexpr uint32_t kRegSdramBaseAddr = 0x28C;
constexpr uint32_t kRegTptLowerLimit = 0x58C;
constexpr uint32_t kRegTpLaConfig = 0x4D4;
constexpr uint32_t kRegTpLaDataHigh = 0x4D8;
constexpr uint32_t kRegTpLaDataLow = 0x4DC;

enum SimMemoryKind : uint32_t { kSimMemoryConnection = 0, kSimMemoryStag = 1 };

struct TpLogicAnalyser {
    uint64_t samples[kTpLaSlots];
    uint32_t writePointer;  // the slot the next sample goes to
    uint32_t step;          // samples captured per read of the config register; 0: stopped
    uint64_t captured;      // samples captured so far, which seeds the next one
};

struct ConnectionMemory {
    uint8_t tcb[kSimTcbCount * kSimTcbBytes];
    uint8_t wrc[kSimWrcCount * kSimWrcBytes];
    uint8_t stag[kSimStagCount * kSimStagBytes];
    TpLogicAnalyser la;
};

// Reads length bytes of memory of a kind; false for an unknown kind. registers is the register
// file, from which the WRC and STag bases are taken.
bool ReadConnectionMemory(const ConnectionMemory& memory, const uint32_t* registers, uint32_t kind,
                          uint32_t address, uint8_t* into, uint32_t length);
// The byte an address holds outside the stored objects.
uint8_t ConnectionMemoryPattern(uint32_t kind, uint32_t address);

// The stored bytes of one object, for qvsim: null when the index is beyond the stored ones.
uint8_t* StoredTcb(ConnectionMemory* memory, uint32_t tid);
uint8_t* StoredWrc(ConnectionMemory* memory, uint32_t tid);
uint8_t* StoredStag(ConnectionMemory* memory, uint32_t stag);

bool IsTpLaRegister(uint32_t offset);
// config is the register file's word at 0x4D4, which keeps the low half.
bool TpLaReadRegister(TpLogicAnalyser* la, uint32_t* config, uint32_t offset, uint32_t* value);
bool TpLaWriteRegister(uint32_t* config, uint32_t offset, uint32_t value);

// Power-on contents: plausible TCBs, WRCs and STag entries, and a full analyser. registers gets the
// bases and the analyser's mode.
void PowerOnConnectionMemory(ConnectionMemory* memory, uint32_t* registers);

}  // namespace qv::sim::n5
