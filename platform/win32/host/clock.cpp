// The clock port on Windows.
#include "qv/platform/clock.h"

#include <windows.h>

namespace qv::clk {

void Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}
uint64_t TickCount() {
    return GetTickCount64();
}

}  // namespace qv::clk
