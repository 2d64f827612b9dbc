// The simulated JTAG master and chain: the master's registers, one TAP controller per device, and
// the data paths between TDI, the devices and TDO.
#include "qv/sim/n5/jtag_chain.h"

#include <algorithm>
#include <cstring>

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kRegConfig = 0x6C0;
constexpr uint32_t kRegMode = 0x6C4;
constexpr uint32_t kRegData = 0x6C8;
constexpr uint32_t kRegOp = 0x6CC;
constexpr uint32_t kOpClocksMask = 0x1F;

enum class DataRegister { kIdcode, kSink, kBypass };

DataRegister Selected(const JtagDeviceState& d) {
    if (d.instruction == d.profile.idcodeInstruction) return DataRegister::kIdcode;
    if (d.instruction == d.profile.configureInstruction) return DataRegister::kSink;
    return DataRegister::kBypass;
}

uint32_t IrMask(const JtagDeviceState& d) {
    return d.profile.irLength >= 32 ? 0xFFFFFFFFu : (1u << d.profile.irLength) - 1;
}

// The bit the device drives on TDO during this cycle (before the clock edge).
bool DeviceTdo(const JtagDeviceState& d) {
    if (d.tap == kTapShiftIr) return (d.irShift & 1u) != 0;
    if (d.tap != kTapShiftDr) return false;
    switch (Selected(d)) {
        case DataRegister::kIdcode:
            return (d.drShift & 1u) != 0;
        case DataRegister::kBypass:
            return d.bypass != 0;
        case DataRegister::kSink:
            return false;
    }
    return false;
}

void Record(JtagState* jtag, JtagDeviceState* d, bool bit) {
    const uint64_t at = d->receivedBits++;
    if (at >= d->profile.configBits || at / 8 >= d->captureBytes ||
        d->captureOffset + at / 8 >= kJtagCaptureBytes)
        return;
    uint8_t& byte = jtag->received[d->captureOffset + at / 8];
    const uint8_t mask = static_cast<uint8_t>(0x80u >> (at % 8));
    byte = bit ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
}

void ClockDevice(JtagState* jtag, uint32_t position, bool tms, bool tdi) {
    JtagDeviceState& d = jtag->devices[position];
    switch (d.tap) {
        case kTapCaptureDr:
            if (Selected(d) == DataRegister::kIdcode) {
                const bool unknown = position == 0 && jtag->faults.unknownIdcode != 0;
                d.drShift = unknown ? kJtagUnknownIdcode : d.profile.idcode;
            } else if (Selected(d) == DataRegister::kBypass) {
                d.bypass = 0;
            }
            break;
        case kTapShiftDr:
            if (Selected(d) == DataRegister::kIdcode) {
                d.drShift = (d.drShift >> 1) | (static_cast<uint32_t>(tdi) << 31);
            } else if (Selected(d) == DataRegister::kBypass) {
                d.bypass = tdi ? 1 : 0;
            } else {
                Record(jtag, &d, tdi);
            }
            break;
        case kTapCaptureIr:
            d.irShift = 1;
            break;
        case kTapShiftIr:
            d.irShift =
                ((d.irShift >> 1) | (static_cast<uint32_t>(tdi) << (d.profile.irLength - 1))) & IrMask(d);
            break;
        default:
            break;
    }
    d.tap = NextTapState(d.tap, tms);
    if (d.tap == kTapTestLogicReset) d.instruction = d.profile.idcodeInstruction;
    if (d.tap == kTapUpdateIr) {
        d.instruction = d.irShift;
        if (Selected(d) == DataRegister::kSink) d.receivedBits = 0;  // a new configuration begins
    }
}

// The config, mode and data registers, which read back what was written; null for another offset.
uint32_t* StoredRegister(JtagState* jtag, uint32_t offset) {
    if (offset == kRegConfig) return &jtag->config;
    if (offset == kRegMode) return &jtag->mode;
    if (offset == kRegData) return &jtag->data;
    return nullptr;
}

void RunOperation(JtagState* jtag, uint32_t value) {
    jtag->lastOp = value;
    if ((jtag->config & 1u) == 0) return;  // a disabled master clocks nothing
    if (jtag->faults.neverCompletes != 0) return;
    const uint32_t clocks = (value & kOpClocksMask) == 0 ? 32 : (value & kOpClocksMask);
    uint32_t captured = 0;
    for (uint32_t i = 0; i < clocks; ++i) {
        const bool tdo = ClockJtagChain(jtag, ((jtag->mode >> i) & 1u) != 0, ((jtag->data >> i) & 1u) != 0);
        captured |= static_cast<uint32_t>(tdo) << i;
    }
    jtag->data = captured;
    jtag->mode = 0;
    jtag->opBusyReads = kJtagOpBusyReads;
}

}  // namespace

// Each state's name and {next on TMS 0, next on TMS 1}, as the standard's state diagram.
constexpr struct {
    const char* name;
    TapState next[2];
} kTapStates[16] = {
    {"Test-Logic-Reset", {kTapRunTestIdle, kTapTestLogicReset}},
    {"Run-Test/Idle", {kTapRunTestIdle, kTapSelectDr}},
    {"Select-DR-Scan", {kTapCaptureDr, kTapSelectIr}},
    {"Capture-DR", {kTapShiftDr, kTapExit1Dr}},
    {"Shift-DR", {kTapShiftDr, kTapExit1Dr}},
    {"Exit1-DR", {kTapPauseDr, kTapUpdateDr}},
    {"Pause-DR", {kTapPauseDr, kTapExit2Dr}},
    {"Exit2-DR", {kTapShiftDr, kTapUpdateDr}},
    {"Update-DR", {kTapRunTestIdle, kTapSelectDr}},
    {"Select-IR-Scan", {kTapCaptureIr, kTapTestLogicReset}},
    {"Capture-IR", {kTapShiftIr, kTapExit1Ir}},
    {"Shift-IR", {kTapShiftIr, kTapExit1Ir}},
    {"Exit1-IR", {kTapPauseIr, kTapUpdateIr}},
    {"Pause-IR", {kTapPauseIr, kTapExit2Ir}},
    {"Exit2-IR", {kTapShiftIr, kTapUpdateIr}},
    {"Update-IR", {kTapRunTestIdle, kTapSelectDr}},
};

const char* TapStateName(uint8_t state) {
    return state < 16 ? kTapStates[state].name : "?";
}

TapState NextTapState(uint8_t state, bool tms) {
    return kTapStates[state & 0xF].next[tms ? 1 : 0];
}

void PowerOnJtag(JtagState* jtag) {
    std::memset(jtag, 0, sizeof *jtag);
}

bool SetJtagChain(JtagState* jtag, std::span<const JtagDeviceProfile> devices) {
    if (devices.size() > kJtagMaxDevices) return false;
    for (const JtagDeviceProfile& profile : devices) {
        if (profile.irLength < 1 || profile.irLength > 32) return false;
    }
    std::memset(jtag->devices, 0, sizeof jtag->devices);
    std::memset(jtag->received, 0, sizeof jtag->received);
    uint32_t offset = 0;
    for (size_t k = 0; k < devices.size(); ++k) {
        JtagDeviceState& d = jtag->devices[k];
        d.profile = devices[k];
        d.tap = kTapTestLogicReset;
        d.instruction = d.profile.idcodeInstruction;
        d.captureOffset = offset;
        const uint64_t wanted = (static_cast<uint64_t>(d.profile.configBits) + 7) / 8;
        d.captureBytes = static_cast<uint32_t>(std::min<uint64_t>(wanted, kJtagCaptureBytes - offset));
        offset += d.captureBytes;
    }
    jtag->deviceCount = static_cast<uint32_t>(devices.size());
    return true;
}

bool IsJtagRegister(uint32_t offset) {
    return offset == kRegConfig || offset == kRegMode || offset == kRegData || offset == kRegOp;
}

bool JtagReadRegister(JtagState* jtag, uint32_t offset, uint32_t* value) {
    if (offset == kRegOp) {
        const bool running = jtag->faults.neverCompletes != 0 || jtag->opBusyReads > 0;
        if (jtag->opBusyReads > 0) --jtag->opBusyReads;
        *value = running ? kOpClocksMask : 0;
        return true;
    }
    const uint32_t* stored = StoredRegister(jtag, offset);
    if (stored != nullptr) *value = *stored;
    return stored != nullptr;
}

bool JtagWriteRegister(JtagState* jtag, uint32_t offset, uint32_t value) {
    if (offset == kRegOp) {
        RunOperation(jtag, value);
        return true;
    }
    uint32_t* stored = StoredRegister(jtag, offset);
    if (stored != nullptr) *stored = value;
    return stored != nullptr;
}

bool ClockJtagChain(JtagState* jtag, bool tms, bool tdi) {
    ++jtag->clocks;
    const uint32_t n = std::min(jtag->deviceCount, kJtagMaxDevices);
    if (n == 0) return tdi;
    bool tdo[kJtagMaxDevices];
    for (uint32_t k = 0; k < n; ++k) tdo[k] = DeviceTdo(jtag->devices[k]);
    for (uint32_t k = 0; k < n; ++k) ClockDevice(jtag, k, tms, k + 1 == n ? tdi : tdo[k + 1]);
    return tdo[0];
}

std::vector<uint8_t> JtagReceivedBytes(const JtagState& jtag, uint32_t position, uint64_t* receivedBits) {
    *receivedBits = 0;
    if (position >= std::min(jtag.deviceCount, kJtagMaxDevices)) return {};
    const JtagDeviceState& d = jtag.devices[position];
    *receivedBits = d.receivedBits;
    const uint64_t room = d.captureOffset < kJtagCaptureBytes ? kJtagCaptureBytes - d.captureOffset : 0;
    const uint64_t kept = std::min<uint64_t>(
        {d.receivedBits, d.profile.configBits, std::min<uint64_t>(d.captureBytes, room) * 8});
    std::vector<uint8_t> bytes(jtag.received + d.captureOffset,
                               jtag.received + d.captureOffset + (kept + 7) / 8);
    if (kept % 8 != 0) bytes.back() &= static_cast<uint8_t>(0xFF00u >> (kept % 8));
    return bytes;
}

}  // namespace qv::sim::n5
