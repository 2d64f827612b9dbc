#include "qv/qvtool/jtag/jtag_master.h"

namespace qv::qvtool {
namespace {

int WriteOrSay(HDevice device, uint32_t offset, uint32_t value, const char* failure, JtagOut out) {
    if (RegisterWrite(device, offset, value) == kStatusSuccess) return kStatusSuccess;
    JtagSay(out, failure);
    return kStatusFailure;
}

int ReadOrSay(HDevice device, uint32_t offset, uint32_t* value, const char* failure, JtagOut out) {
    if (RegisterRead(device, offset, value) == kStatusSuccess) return kStatusSuccess;
    JtagSay(out, failure);
    return kStatusFailure;
}

}  // namespace

void JtagSay(const JtagOut& out, const char* message) {
    if (out.progress != nullptr) out.progress->Clear();
    std::fputs(message, out.file);
}

int JtagWriteConfig(HDevice device, uint32_t value, JtagOut out) {
    return WriteOrSay(device, kJtagConfigRegister, value, "jtag_write_config failed.\n", out);
}

int JtagWriteMode(HDevice device, uint32_t value, JtagOut out) {
    return WriteOrSay(device, kJtagModeRegister, value, "jtag_write_mode failed.\n", out);
}

int JtagWriteData(HDevice device, uint32_t value, JtagOut out) {
    return WriteOrSay(device, kJtagDataRegister, value, "jtag_write_data failed.\n", out);
}

int JtagReadConfig(HDevice device, uint32_t* value, JtagOut out) {
    return ReadOrSay(device, kJtagConfigRegister, value, "jtag_read_config failed.\n", out);
}

int JtagReadData(HDevice device, uint32_t* value, JtagOut out) {
    return ReadOrSay(device, kJtagDataRegister, value, "jtag_read_data failed.\n", out);
}

int JtagRun(HDevice device, uint32_t clocks, JtagOut out) {
    // The op field is five bits wide: 32 clocks are written as 0.
    WriteOrSay(device, kJtagOpRegister, clocks % kJtagMaxClocks, "jtag_write_op failed.\n", out);
    for (uint32_t poll = 0; poll < kJtagOpPolls; ++poll) {
        uint32_t op = 0;
        if (ReadOrSay(device, kJtagOpRegister, &op, "jtag_read_op failed.\n", out) != kStatusSuccess)
            return kStatusFailure;
        if ((op & kJtagOpRunning) == 0) return kStatusSuccess;
    }
    JtagSay(out, "jtag_io: IO did not complete!!!\n");
    return kStatusFailure;
}

int JtagStep(HDevice device, uint32_t mode, uint32_t data, uint32_t clocks, JtagOut out) {
    JtagWriteMode(device, mode, out);
    JtagWriteData(device, data, out);
    return JtagRun(device, clocks, out);
}

int JtagReset(HDevice device, JtagOut out) {
    return JtagStep(device, 0x1F, 0, 6, out);
}

int JtagIdleToShiftDr(HDevice device, JtagOut out) {
    return JtagStep(device, 0x1, 0, 3, out);
}

int JtagShiftZerosAndExit(HDevice device, uint32_t clocks, JtagOut out) {
    // Whole operations of TMS 0 first, so that the exit falls on the very last clock.
    while (clocks > kJtagMaxClocks) {
        if (JtagStep(device, 0, 0, kJtagMaxClocks, out) != kStatusSuccess) return kStatusFailure;
        clocks -= kJtagMaxClocks;
    }
    if (clocks == 0) return kStatusSuccess;
    return JtagStep(device, 1u << (clocks - 1), 0, clocks, out);
}

void JtagEnable(HDevice device, JtagOut out) {
    JtagWriteConfig(device, kJtagConfigEnable, out);
    uint32_t config = 0;
    // A failed read leaves 0: the master then counts as not working.
    JtagReadConfig(device, &config, out);
    if ((config & kJtagConfigWorking) == 0) JtagSay(out, "jtag_enable: Hmmm, JM0 is not functional!\n");
}

}  // namespace qv::qvtool
