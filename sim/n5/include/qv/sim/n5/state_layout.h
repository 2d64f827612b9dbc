// The simulated n5 adapter's persistent state: one memory-mapped file per adapter instance, laid
// out as the record below. The header's magic and layout version guard against foreign or old
// files; every array index taken from a request is bounded by the sizes here.
#pragma once

#include <cstdint>

#include "qv/sim/n5/adapter_info_state.h"
#include "qv/sim/n5/chip_state.h"
#include "qv/sim/n5/connection_memory.h"
#include "qv/sim/n5/jtag_chain.h"
#include "qv/sim/n5/serial_flash.h"
#include "qv/sim/n5/statistics.h"
#include "qv/sim/n5/vpd_eeprom.h"

namespace qv::sim::n5 {

constexpr char kStateMagic[8] = {'Q', 'V', 'N', '5', 'S', 'T', 'A', 'T'};
constexpr uint32_t kStateLayoutVersion = 8;

constexpr uint32_t kRegisterSpaceBytes = 64 * 1024;
constexpr uint32_t kRegisterCount = kRegisterSpaceBytes / 4;
constexpr uint32_t kConfigSpaceBytes = 256;
constexpr uint32_t kCimSpaceWords = 64 * 1024;  // queue space below 0x2000, control space above
constexpr uint32_t kIndirectWords = 4096;
constexpr uint32_t kMdioSlotCount = 1024;
constexpr uint32_t kMaxFunction = 31;

// One MDIO register that has been written; unwritten registers read their default.
struct MdioSlot {
    uint8_t used;
    uint8_t port;
    uint8_t device;
    uint8_t reserved;
    uint16_t reg;
    uint16_t value;
};

// Injected faults, kept in the file so that every process using the adapter sees them.
struct Faults {
    uint32_t failingFunctions;                       // bit f set: every request of function f fails
    uint32_t cimBusyStuck;                           // 1: host_acc_ctrl's busy bit never clears
    uint32_t failAfterRequests;                      // n > 0: the n-th request from now fails, once
    uint8_t registerReadFails[kRegisterCount / 8];   // bit per register: reads at it fail
    uint8_t registerWriteFails[kRegisterCount / 8];  // bit per register: writes at it fail
};

// What the adapter has seen, for tests and `qvsim adapter <n> show`.
struct Counters {
    uint64_t requests;          // I/O-control requests answered, failed ones included
    uint64_t hostAccCtrlReads;  // reads of host_acc_ctrl (busy-wait polls)
    uint64_t cimAccesses;       // CIM accesses started through host_acc_ctrl
    uint32_t lastCimAddress;
    uint32_t lastCimWrite;   // 1 when the last CIM access was a write
    uint32_t busyPollsLeft;  // polls for which the running access still reads busy
    uint32_t reserved;
    uint64_t functionRequests[kMaxFunction + 1];  // requests answered per function, failed ones included
};

struct StateFile {
    char magic[8];
    uint32_t version;
    uint32_t size;  // sizeof(StateFile)
    Faults faults;
    Counters counters;
    uint32_t registers[kRegisterCount];
    uint8_t config[kConfigSpaceBytes];
    uint32_t cim[kCimSpaceWords];
    uint32_t indirect[kIndirectWords];
    MdioSlot mdio[kMdioSlotCount];
    SerialFlash flash;  // with its own fault switches
    VpdEeprom vpd;      // with its own fault switches
    JtagState jtag;     // the JTAG master and chain, with their fault switches
    // Versions, the microcode handshake, the trace, queue-set parameters, blinking.
    AdapterInfoState info;
    // TCBs, WRCs and STag entries behind function 25, and the TP logic analyser.
    ConnectionMemory connections;
    ChipState chip;    // SGE contexts and descriptors, TP tables, CIM debug state, with fault switches
    Statistics stats;  // the driver statistics and the pipeline counters
};

}  // namespace qv::sim::n5
