// Clock port: sleeping and a millisecond tick, so that waits run on virtual time in tests.
#pragma once

#include <cstdint>

namespace qv::clk {

// Sleep(ms).
void Sleep(uint32_t milliseconds);
// GetTickCount64 (on systems without it, the 32-bit tick count extended across its wraps).
uint64_t TickCount();

}  // namespace qv::clk
