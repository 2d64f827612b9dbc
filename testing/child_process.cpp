#include "qv/testing/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::testing {
namespace {

ChildStatus EndOf(int status) {
    if (WIFEXITED(status)) return {WEXITSTATUS(status), 0};
    return {-1, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

}  // namespace

Child::Child(Forked, const std::function<int(int report)>& body) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe failed";
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        _exit(body(fds[1]));
    }
    close(fds[1]);
    from_ = fds[0];
    running_ = pid_ > 0;
    if (pid_ < 0) ADD_FAILURE() << "fork failed";
}

Child::~Child() {
    Kill();
    if (from_ >= 0) close(from_);
}

std::string Child::Line() {
    std::string line;
    pollfd readable{from_, POLLIN, 0};
    const int guardMs = static_cast<int>(std::chrono::milliseconds(kHangGuard).count());
    for (char c = 0; from_ >= 0 && poll(&readable, 1, guardMs) == 1 && read(from_, &c, 1) == 1 && c != '\n';)
        line += c;
    return line;
}

ChildStatus Child::Wait(std::chrono::milliseconds guard) {
    if (!running_) return {};
    int status = 0;
    pid_t reaped = 0;
    if (!Eventually([&] { return (reaped = waitpid(pid_, &status, WNOHANG)) != 0; }, guard)) {
        ADD_FAILURE() << "child " << pid_ << " still running after " << guard.count() << " ms: killed";
        return Kill();
    }
    running_ = false;
    if (reaped != pid_) {
        ADD_FAILURE() << "waitpid failed";
        return {};
    }
    return EndOf(status);
}

ChildStatus Child::Kill() {
    if (!running_) return {};
    running_ = false;
    kill(pid_, SIGKILL);
    int status = 0;
    return waitpid(pid_, &status, 0) == pid_ ? EndOf(status) : ChildStatus{};
}

void ReportLine(int report, std::string_view line) {
    std::string text(line);
    text += '\n';
    (void)!write(report, text.data(), text.size());
}

}  // namespace qv::testing
