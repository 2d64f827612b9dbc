#include "qv/testing/program_run.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::testing {

Exited RunProgram(const std::string& name, const std::filesystem::path& machine,
                  const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    const std::string program = std::string(QV_BIN_DIR) + "/" + name;
    std::vector<std::string> env = {"QV_MACHINE=" + machine.string(), "PATH=/usr/bin:/bin"};
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    Exited exited{-1, {}};
    if (spawned != 0) {
        close(pipeFds[0]);
        ADD_FAILURE() << "cannot start " << program;
        return exited;
    }
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    bool killed = false;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{pipeFds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) == 0) {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        exited.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (killed) {
        ADD_FAILURE() << program << " did not end within " << kRunLimit.count() << " s";
    }
    exited.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exited;
}

}  // namespace qv::testing
