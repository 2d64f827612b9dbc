// The drivers' later work, called after each Sleep of the clock port.
#include "qv/sim/driver_scheduler.h"

#include <array>
#include <atomic>
#include <mutex>

namespace qv::sim {
namespace {

constexpr size_t kMaxDrivers = 4;
std::array<std::atomic<DueWork>, kMaxDrivers> g_work{};
std::mutex g_adding;

}  // namespace

void CallAfterEverySleep(DueWork run) {
    std::lock_guard lock(g_adding);
    for (auto& slot : g_work) {
        if (slot == run) return;
        if (slot == nullptr) {
            slot = run;
            return;
        }
    }
}

void ClockAdvanced() {
    for (auto& slot : g_work) {
        const DueWork run = slot;
        if (run == nullptr) return;
        run();
    }
}

}  // namespace qv::sim
