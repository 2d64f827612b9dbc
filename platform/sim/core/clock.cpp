// Sleep and the millisecond tick. On virtual time a Sleep moves the tick forward at once.
#include "qv/platform/clock.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "qv/sim/clock.h"
#include "qv/sim/driver_scheduler.h"

namespace {

bool VirtualTimeRequestedByEnvironment() {
    const char* value = std::getenv("QV_VIRTUAL_TIME");
    return value != nullptr && value[0] != '\0' && !(value[0] == '0' && value[1] == '\0');
}

std::atomic<bool>& VirtualOn() {
    static std::atomic<bool> on{VirtualTimeRequestedByEnvironment()};
    return on;
}
std::atomic<uint64_t> g_skipped{0};

}  // namespace

namespace qv::sim {

void UseVirtualClock(bool on) {
    VirtualOn() = on;
}
bool VirtualClockInUse() {
    return VirtualOn();
}
uint64_t VirtualMillisecondsSlept() {
    return g_skipped;
}

}  // namespace qv::sim

namespace qv::clk {

void Sleep(uint32_t milliseconds) {
    if (VirtualOn()) {
        g_skipped += milliseconds;
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    qv::sim::ClockAdvanced();
}

// Real time plus every millisecond skipped on virtual time, so the tick never runs backwards
// when virtual time is switched off again.
uint64_t TickCount() {
    using namespace std::chrono;
    const auto real = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint64_t>(real) + g_skipped;
}

}  // namespace qv::clk
