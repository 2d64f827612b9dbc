// -o, -v, -m and -b: the driver's trace buffer, the versions of the tool, firmware, microcode and
// bus driver, a queue-set parameter, and the blinking of the port lights. Each prints its own
// failures to out and goes on or stops; none changes the run's exit status.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/options.h"

namespace qv::qvtool {

// The tool's own version.
constexpr uint32_t kToolVersion[4] = {1, 5, 13, 24};

// Where the firmware's version word is kept when the one at the end of the firmware area has a
// major number above kMaxFirmwareMajor (an image laid out for a larger flash).
constexpr uint32_t kFlashFallbackVersionAddress = 0x77FFC;
constexpr uint32_t kMaxFirmwareMajor = 100;
// The microcode version in the VPD EEPROM.
constexpr uint32_t kVpdMicrocodeVersionAddress = 0x1000;
// The handshake that asks the chip for its loaded microcode's version: a request written to the
// control register, whose bit 0 reads 1 once the version is in the data register.
constexpr uint32_t kMicrocodeControlRegister = 0x4E8;
constexpr uint32_t kMicrocodeDataRegister = 0x4EC;
constexpr uint32_t kMicrocodeVersionRequest = 0x80000000;
constexpr uint32_t kMicrocodeReadyPolls = 10;

// The trace dump asks for at most this many buffers: a driver that never runs out cannot keep the
// dump going for ever.
constexpr uint32_t kMaxTraceBuffers = 1024;

void RunVersionsReport(HDevice device, std::FILE* out);
// To the file named (a new or regular file) or, without a name, to out.
void RunTraceDump(const TraceRequest& request, HDevice device, std::FILE* out);
void RunQsetParamRequest(const QsetParamRequest& request, HDevice device, std::FILE* out);
void RunPortIdentification(const BlinkRequest& request, HDevice device, std::FILE* out);

}  // namespace qv::qvtool
