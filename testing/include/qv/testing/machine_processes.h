// Programs "running" on a simulated machine for a test (host build only): forked children that
// enter themselves in the process table of the machine the test has selected, under an image name
// of the test's choosing, and wait there until the object ends them.
#pragma once

#include <sys/types.h>

#include <list>
#include <string_view>

#include "qv/testing/child_process.h"

namespace qv::testing {

class MachineProcesses {
  public:
    // Starts a child listed as imageName ("QvTeamCmd.exe") on the selected machine and returns
    // once it is listed; its process id, or -1 with a test failure.
    pid_t Start(std::string_view imageName);
    // Kills a child as a crash would (it leaves the table without a word) and reaps it.
    void Kill(pid_t pid);

  private:
    std::list<Child> children_;
};

}  // namespace qv::testing
