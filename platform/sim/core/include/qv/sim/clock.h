// Virtual time for the simulated host: while it is on, qv::clk::Sleep advances the tick counter
// at once instead of waiting, so that long waits cost nothing in tests. It starts on when the
// environment variable QV_VIRTUAL_TIME is set to anything but "" or "0".
#pragma once

#include <cstdint>

namespace qv::sim {

void UseVirtualClock(bool on);
bool VirtualClockInUse();
// Total milliseconds that Sleep has skipped on virtual time in this process.
uint64_t VirtualMillisecondsSlept();

}  // namespace qv::sim
