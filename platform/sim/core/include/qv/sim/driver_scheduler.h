// Work the simulated drivers do later, at a tick of the clock port. The clock only tells time: after
// every Sleep it notifies this scheduler, which calls each driver that asked to be called, so the
// driver can do what has become due by then.
#pragma once

namespace qv::sim {

using DueWork = void (*)();

// Calls run after every Sleep from now on (once per function, however often it is added; room for
// a few drivers, more are ignored). Safe from any thread.
void CallAfterEverySleep(DueWork run);

// The clock's notification: calls every registered function.
void ClockAdvanced();

}  // namespace qv::sim
