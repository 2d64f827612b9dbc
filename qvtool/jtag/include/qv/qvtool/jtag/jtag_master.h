// The adapter's JTAG master: four registers through which the chip drives the board's JTAG chain.
// An operation clocks the chain n times (1 to 32); the mode register gives the TMS value of each
// clock (bit i for clock i) and the data register the TDI bits (bit 0 first); afterwards the data
// register holds the TDO bits captured. The master takes the mode pattern for the next operation
// only, so data shifts that follow run with TMS 0 and stay in their Shift state.
//
// Register write failures print their message and the sequence goes on; a read failure, or an
// operation that does not complete within kJtagOpPolls reads, fails the operation.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/progress_line.h"
#include "qv/qvtool/transport.h"  // kStatusSuccess, kStatusFailure

namespace qv::qvtool {

constexpr uint32_t kJtagConfigRegister = 0x6C0;
constexpr uint32_t kJtagModeRegister = 0x6C4;
constexpr uint32_t kJtagDataRegister = 0x6C8;
constexpr uint32_t kJtagOpRegister = 0x6CC;

constexpr uint32_t kJtagConfigEnable = 29;
constexpr uint32_t kJtagConfigDone = 16;
constexpr uint32_t kJtagConfigWorking = 0x1;  // bit read back while the master works
constexpr uint32_t kJtagOpRunning = 0x1F;     // op bits that read nonzero while an operation runs
constexpr uint32_t kJtagMaxClocks = 32;       // clocks of one operation
constexpr uint32_t kJtagOpPolls = 1000;       // op reads before an operation is given up

// Where the master's messages go: to file, after the progress line (when there is one) is cleared,
// so that a message never lands on the line a long transfer is drawing.
struct JtagOut {
    JtagOut(std::FILE* f, ProgressLine* p = nullptr) : file(f), progress(p) {}
    std::FILE* file;
    ProgressLine* progress;
};
void JtagSay(const JtagOut& out, const char* message);

// Register access with the master's messages. Callers decide whether a failed write stops them.
int JtagWriteConfig(HDevice device, uint32_t value, JtagOut out);
int JtagWriteMode(HDevice device, uint32_t value, JtagOut out);
int JtagWriteData(HDevice device, uint32_t value, JtagOut out);
int JtagReadConfig(HDevice device, uint32_t* value, JtagOut out);
int JtagReadData(HDevice device, uint32_t* value, JtagOut out);

// Runs clocks (1 to 32) clocks and waits for the operation to complete.
int JtagRun(HDevice device, uint32_t clocks, JtagOut out);
// Mode and data written, then the operation run: one step of a TAP sequence.
int JtagStep(HDevice device, uint32_t mode, uint32_t data, uint32_t clocks, JtagOut out);
// Five TMS ones and a zero: Test-Logic-Reset, then Run-Test/Idle, from any state.
int JtagReset(HDevice device, JtagOut out);
// From Run-Test/Idle to Shift-DR: TMS 1, 0, 0 (Select-DR-Scan, Capture-DR, Shift-DR), TDI 0.
int JtagIdleToShiftDr(HDevice device, JtagOut out);
// In Shift-DR or Shift-IR: shifts `clocks` zero bits (any number), the last with TMS 1 so that
// the TAPs leave the Shift state (to Exit1). Nothing is clocked for 0.
int JtagShiftZerosAndExit(HDevice device, uint32_t clocks, JtagOut out);

// Writes 29 to the config register and reads it back; says so when the master does not work.
void JtagEnable(HDevice device, JtagOut out);

}  // namespace qv::qvtool
