// The adapter's JTAG master and the board's chain of devices behind it.
//
// The master has four registers: config (writing a value with bit 0 set enables the master, one
// with bit 0 clear disables it; bit 0 reads back the enable), mode (the TMS pattern of the next
// operation: bit i for clock i; the operation consumes it, so the register reads 0 afterwards),
// data (the TDI bits, bit 0 first; after an operation the TDO bits, the bit of clock i in bit i)
// and op (writing n clocks the chain n times, 0 meaning 32; the low five bits then read back
// nonzero for kJtagOpBusyReads reads, then 0). A disabled master clocks nothing.
//
// Every device has a real TAP controller (the sixteen states of IEEE 1149.1, one step per clock
// on TMS). The tool's TDI feeds the last device, device k's TDO feeds device k - 1, and device 0
// drives TDO: so after a reset the first IDCODE shifted out is device 0's, and chain positions
// are the tool's chain entries. An empty chain is a wire from TDI to TDO.
//
// Per device: an instruction register of the device's length (Capture-IR loads 0b...01,
// Update-IR takes the shifted value), Test-Logic-Reset selects the IDCODE instruction, Capture-DR
// loads the IDCODE into its 32-bit data register. The configure instruction makes the data
// register a configuration sink that records every bit shifted into it (from the Update-IR that
// loads it); every other instruction selects the one-bit BYPASS register (captures 0).
//
// The bits a sink receives are kept most significant bit first in bytes, so a stream sent as the
// tool sends a file reads back as the file's bytes. A device with n devices between it and TDI
// receives n leading zero bits (the bypass stages' captured zeros) first, as on the real board.
// Received bits are kept up to the device's configuration size and up to kJtagCaptureBytes for
// the whole chain (the space is shared out in chain order when the chain is set); bits beyond
// are counted but dropped.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace qv::sim::n5 {

constexpr uint32_t kJtagMaxDevices = 72;  // more than the tool reads, to show its bound
constexpr uint32_t kJtagCaptureBytes = 2 * 1024 * 1024;
constexpr uint32_t kJtagOpBusyReads = 2;
// The IDCODE the first device answers while the unknown-IDCODE fault is on.
constexpr uint32_t kJtagUnknownIdcode = 0x0BADC0DF;

enum TapState : uint8_t {
    kTapTestLogicReset,
    kTapRunTestIdle,
    kTapSelectDr,
    kTapCaptureDr,
    kTapShiftDr,
    kTapExit1Dr,
    kTapPauseDr,
    kTapExit2Dr,
    kTapUpdateDr,
    kTapSelectIr,
    kTapCaptureIr,
    kTapShiftIr,
    kTapExit1Ir,
    kTapPauseIr,
    kTapExit2Ir,
    kTapUpdateIr,
};
const char* TapStateName(uint8_t state);
TapState NextTapState(uint8_t state, bool tms);

// What a device is: set through qvsim or a test.
struct JtagDeviceProfile {
    uint32_t idcode;
    uint32_t irLength;  // 1 to 32
    uint32_t idcodeInstruction;
    uint32_t configureInstruction;
    uint32_t configBits;
};

struct JtagDeviceState {
    JtagDeviceProfile profile;
    uint8_t tap;  // TapState
    uint8_t bypass;
    uint8_t reserved[2];
    uint32_t instruction;
    uint32_t irShift;
    uint32_t drShift;
    uint32_t captureOffset;  // the device's part of JtagState::received
    uint32_t captureBytes;
    uint64_t receivedBits;  // since the configure instruction was loaded, kept or not
};

struct JtagFaults {
    uint8_t neverCompletes;  // 1: an operation never completes (op reads running for good)
    uint8_t unknownIdcode;   // 1: device 0 answers kJtagUnknownIdcode
    uint8_t reserved[2];
};

// The master and the chain. Plain data: it is mapped from the adapter's state file.
struct JtagState {
    uint32_t config;
    uint32_t mode;
    uint32_t data;
    uint32_t opBusyReads;  // op reads left that show the operation running
    uint32_t lastOp;
    uint32_t deviceCount;
    uint64_t clocks;  // TCK cycles since power-on
    JtagFaults faults;
    JtagDeviceState devices[kJtagMaxDevices];
    uint8_t received[kJtagCaptureBytes];
};

// Power-on: master disabled, no devices, no faults.
void PowerOnJtag(JtagState* jtag);
// Sets the chain (device 0 nearest TDO), every TAP in Test-Logic-Reset, nothing received. False
// (nothing changed) for more than kJtagMaxDevices devices or an instruction length outside 1..32.
bool SetJtagChain(JtagState* jtag, std::span<const JtagDeviceProfile> devices);

// The master's registers (offsets 0x6C0 to 0x6CC); false for another offset.
bool JtagReadRegister(JtagState* jtag, uint32_t offset, uint32_t* value);
bool JtagWriteRegister(JtagState* jtag, uint32_t offset, uint32_t value);
bool IsJtagRegister(uint32_t offset);

// One TCK cycle of the chain: TMS and TDI in, TDO out.
bool ClockJtagChain(JtagState* jtag, bool tms, bool tdi);

// The bits device `position` kept, most significant bit first in each byte (the last byte
// zero-padded); *receivedBits is every bit it received, kept or not.
std::vector<uint8_t> JtagReceivedBytes(const JtagState& jtag, uint32_t position, uint64_t* receivedBits);

}  // namespace qv::sim::n5
