// What the simulated adapter keeps for the tool's informational requests: the bus driver's version,
// the loaded microcode's version and the register handshake that hands it out, the driver's trace
// (generated entry by entry and handed out in successive buffers until none is left), the queue-set
// parameters, and the port identification requests.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

constexpr uint32_t kQsetCount = 8;
constexpr uint32_t kQsetParamCount = 5;
// The parameters' names, in the order of their indexes.
extern const char* const kQsetParamNames[kQsetParamCount];

// The microcode handshake: writing kMicrocodeRequest to the control register loads the version into
// the data register; the control register reads the request (bit 0 clear) for kMicrocodeBusyReads
// reads, then 1.
constexpr uint32_t kRegMicrocodeControl = 0x4E8;
constexpr uint32_t kRegMicrocodeData = 0x4EC;
constexpr uint32_t kMicrocodeRequest = 0x80000000;
constexpr uint32_t kMicrocodeBusyReads = 2;

// Trace entries: a 32-byte header (distance to the next entry u64, number u32, reserved u32, two
// i64) and the zero-terminated message, each entry padded to 8 bytes; a distance of 0 ends a buffer.
constexpr uint32_t kTraceEntryHeaderBytes = 32;
constexpr uint32_t kTraceEntriesAtPowerOn = 80;  // three buffers of 2048 bytes

struct AdapterInfoState {
    uint32_t busDriverVersion[4];
    uint32_t loadedMicrocode;      // the word the handshake hands out (bits 16-23, 8-15, 0-7)
    uint32_t microcodeBusyReads;   // control-register reads left that show the request pending
    uint32_t microcodeNeverReady;  // fault: bit 0 of the control register never sets
    uint32_t traceEntriesLeft;     // entries still to hand out
    uint32_t traceNextEntry;       // sequence number of the next entry
    uint32_t traceBuffersHandedOut;
    uint32_t qsetParams[kQsetCount][kQsetParamCount];
    int32_t lastBlinkSeconds;
    uint32_t blinkRequests;
};

void PowerOnAdapterInfo(AdapterInfoState* info);

// The handshake's registers; false for another offset.
bool IsMicrocodeRegister(uint32_t offset);
bool MicrocodeReadRegister(AdapterInfoState* info, uint32_t offset, uint32_t* value);
bool MicrocodeWriteRegister(AdapterInfoState* info, uint32_t offset, uint32_t value);

}  // namespace qv::sim::n5
