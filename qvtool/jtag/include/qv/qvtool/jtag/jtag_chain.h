// The board's JTAG chain as the tool finds it: the devices in the order their IDCODEs shift out
// after a reset (entry 0 first, the device nearest TDO), each with the known device's row.
// Instructions are addressed by device index, counted from the TDI end: index = count - 1 - entry.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/jtag/jtag_master.h"
#include "qv/qvtool/jtag/known_devices.h"

namespace qv::qvtool {

constexpr uint32_t kJtagMaxChain = 64;

struct JtagChain {
    JtagDevice entries[kJtagMaxChain];
    uint32_t count;
};

// The device index of a chain entry (entry < chain.count).
inline uint32_t JtagDeviceIndex(const JtagChain& chain, uint32_t entry) {
    return chain.count - 1 - entry;
}

// Clears the chain, reads every IDCODE (at most kJtagMaxChain, up to the first zero), looks each
// up and prints one line per device. An unknown IDCODE is reported and fails the query (the chain
// then keeps the entries read, their rows unknown: the caller must not use it). The TAPs are left
// in Run-Test/Idle after a successful query.
int QueryJtagChain(HDevice device, JtagChain* chain, std::FILE* out);

// From Run-Test/Idle: loads `instruction` into the device with index d and BYPASS (all ones) into
// every other device, and returns to Run-Test/Idle. Fails when an operation fails.
int ShiftJtagInstruction(HDevice device, const JtagChain& chain, uint32_t instruction, uint32_t d,
                         JtagOut out);

}  // namespace qv::qvtool
