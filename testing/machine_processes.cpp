#include "qv/testing/machine_processes.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "qv/sim/process_table.h"

namespace qv::testing {

namespace {
// How long a started child may take to enter the table: only a guard against a hang.
constexpr int kStartTimeoutMs = 60000;
}

MachineProcesses::~MachineProcesses() {
    while (!children_.empty()) Kill(children_.back());
}

pid_t MachineProcesses::Start(std::string_view imageName) {
    int ready[2];
    if (pipe(ready) != 0) {
        ADD_FAILURE() << "pipe failed";
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        std::string error;
        const char answer = sim::RegisterProcess(imageName, &error) ? '1' : '0';
        (void)!write(ready[1], &answer, 1);
        for (;;) pause();
    }
    close(ready[1]);
    if (pid < 0) {
        close(ready[0]);
        ADD_FAILURE() << "fork failed";
        return -1;
    }
    children_.push_back(pid);
    pollfd wait{ready[0], POLLIN, 0};
    char answer = '0';
    const bool answered = poll(&wait, 1, kStartTimeoutMs) == 1 && read(ready[0], &answer, 1) == 1;
    close(ready[0]);
    if (!answered || answer != '1') {
        ADD_FAILURE() << "the child could not enter the machine's process table";
        Kill(pid);
        return -1;
    }
    return pid;
}

void MachineProcesses::Kill(pid_t pid) {
    const auto it = std::find(children_.begin(), children_.end(), pid);
    if (it == children_.end()) return;
    children_.erase(it);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace qv::testing
