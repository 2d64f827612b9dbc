#include "qv/qvtool/jtag/jtag_master.h"

namespace qv::qvtool {
namespace {

void WriteOrSay(HDevice device, uint32_t offset, uint32_t value, const char* failure, std::FILE* out) {
    if (RegisterWrite(device, offset, value) != kStatusSuccess) std::fputs(failure, out);
}

int ReadOrSay(HDevice device, uint32_t offset, uint32_t* value, const char* failure, std::FILE* out) {
    if (RegisterRead(device, offset, value) == kStatusSuccess) return kStatusSuccess;
    std::fputs(failure, out);
    return kStatusFailure;
}

}  // namespace

void JtagWriteConfig(HDevice device, uint32_t value, std::FILE* out) {
    WriteOrSay(device, kJtagConfigRegister, value, "jtag_write_config failed.\n", out);
}

void JtagWriteMode(HDevice device, uint32_t value, std::FILE* out) {
    WriteOrSay(device, kJtagModeRegister, value, "jtag_write_mode failed.\n", out);
}

void JtagWriteData(HDevice device, uint32_t value, std::FILE* out) {
    WriteOrSay(device, kJtagDataRegister, value, "jtag_write_data failed.\n", out);
}

int JtagReadConfig(HDevice device, uint32_t* value, std::FILE* out) {
    return ReadOrSay(device, kJtagConfigRegister, value, "jtag_read_config failed.\n", out);
}

int JtagReadData(HDevice device, uint32_t* value, std::FILE* out) {
    return ReadOrSay(device, kJtagDataRegister, value, "jtag_read_data failed.\n", out);
}

int JtagRun(HDevice device, uint32_t clocks, std::FILE* out) {
    // The op field is five bits wide: 32 clocks are written as 0.
    WriteOrSay(device, kJtagOpRegister, clocks % kJtagMaxClocks, "jtag_write_op failed.\n", out);
    for (uint32_t poll = 0; poll < kJtagOpPolls; ++poll) {
        uint32_t op = 0;
        if (ReadOrSay(device, kJtagOpRegister, &op, "jtag_read_op failed.\n", out) != kStatusSuccess)
            return kStatusFailure;
        if ((op & kJtagOpRunning) == 0) return kStatusSuccess;
    }
    std::fputs("jtag_io: IO did not complete!!!\n", out);
    return kStatusFailure;
}

int JtagStep(HDevice device, uint32_t mode, uint32_t data, uint32_t clocks, std::FILE* out) {
    JtagWriteMode(device, mode, out);
    JtagWriteData(device, data, out);
    return JtagRun(device, clocks, out);
}

int JtagReset(HDevice device, std::FILE* out) {
    return JtagStep(device, 0x1F, 0, 6, out);
}

int JtagShiftZerosAndExit(HDevice device, uint32_t clocks, std::FILE* out) {
    // Whole operations of TMS 0 first, so that the exit falls on the very last clock.
    while (clocks > kJtagMaxClocks) {
        if (JtagStep(device, 0, 0, kJtagMaxClocks, out) != kStatusSuccess) return kStatusFailure;
        clocks -= kJtagMaxClocks;
    }
    if (clocks == 0) return kStatusSuccess;
    return JtagStep(device, 1u << (clocks - 1), 0, clocks, out);
}

void JtagEnable(HDevice device, std::FILE* out) {
    JtagWriteConfig(device, kJtagConfigEnable, out);
    uint32_t config = 0;
    // A failed read leaves 0: the master then counts as not working.
    JtagReadConfig(device, &config, out);
    if ((config & kJtagConfigWorking) == 0) std::fputs("jtag_enable: Hmmm, JM0 is not functional!\n", out);
}

}  // namespace qv::qvtool
