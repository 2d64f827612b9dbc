// Waiting in the suites for what another process brings about (host build only): the condition is
// asked again every few milliseconds, and only a guard against a hang ends the wait otherwise.
#pragma once

#include <chrono>
#include <functional>

namespace qv::testing {

// How long a wait for something that must happen may last: only a guard against a hang, far beyond
// what a loaded machine needs.
constexpr std::chrono::milliseconds kHangGuard = std::chrono::seconds(60);

// Waits until done() holds; false when it still does not after guard.
bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds guard = kHangGuard);

}  // namespace qv::testing
