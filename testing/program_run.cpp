#include "qv/testing/program_run.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::testing {
namespace {

// Null-terminated pointers into the strings, as exec takes them.
std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reads both streams until both end; false when the run limit came first.
bool ReadToEnd(int outFd, int errFd, Exited* exited) {
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    pollfd streams[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* texts[2] = {&exited->output, &exited->errors};
    char buffer[4096];
    while (streams[0].fd >= 0 || streams[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        const int ready = poll(streams, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) continue;
            const ssize_t n = read(streams[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                streams[i].fd = -1;  // poll skips it from now on
            }
        }
    }
    return true;
}

// Starts bin/<name> with its standard output and error going to outFd and errFd; its process id, or
// -1 with a test failure.
pid_t Spawn(const std::string& name, const std::filesystem::path& machine,
            const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, int outFd,
            int errFd) {
    const std::string program = std::string(QV_BIN_DIR) + "/" + name;
    std::vector<std::string> argStrings = {program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> env = {"PATH=/usr/bin:/bin"};
    if (!machine.empty()) env.insert(env.begin(), "QV_MACHINE=" + machine.string());
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    pid_t pid = -1;
    const auto argv = Pointers(argStrings);
    const auto envp = Pointers(env);
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        ADD_FAILURE() << "cannot start " << program;
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

Exited RunProgram(const std::string& name, const std::filesystem::path& machine,
                  const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    Exited exited{-1, {}, {}};
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe failed";
        return exited;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        ADD_FAILURE() << "pipe failed";
        return exited;
    }
    const pid_t pid = Spawn(name, machine, args, extraEnv, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    const bool ended = pid > 0 && ReadToEnd(out[0], err[0], &exited);
    close(out[0]);
    close(err[0]);
    if (pid <= 0) return exited;
    if (!ended) {
        kill(pid, SIGKILL);
        ADD_FAILURE() << name << " did not end within " << kRunLimit.count() << " s";
    }
    int status = 0;
    waitpid(pid, &status, 0);
    exited.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exited;
}

RunningProgram::RunningProgram(const std::string& program, const std::filesystem::path& machine,
                               const std::vector<std::string>& args,
                               const std::vector<std::string>& extraEnv) {
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) {
        ADD_FAILURE() << "cannot open /dev/null";
        return;
    }
    pid_ = Spawn(program, machine, args, extraEnv, null, null);
    close(null);
}

RunningProgram::~RunningProgram() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

}  // namespace qv::testing
