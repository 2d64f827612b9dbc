// Fault switches for the suites that kill a program in the middle of its work, without timing: a
// switch named by an environment variable counts one kind of event of this process and, at the
// N-th, kills the process with SIGKILL, as an outside kill would. What the program had done by
// then stays in the machine's files for the next program to find.
#pragma once

#include <cstdint>

namespace qv::sim {

class KillSwitch {
  public:
    // N is read once from the variable; unset or not a positive number: the switch is off.
    explicit KillSwitch(const char* variable);
    // Counts one event; the N-th kills the process.
    void Count();

  private:
    uint64_t limit_ = 0;
    uint64_t counted_ = 0;
};

}  // namespace qv::sim
