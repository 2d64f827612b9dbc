// The built QvTeamCmd as a process on a temporary machine: its console output and the exit status
// a shell sees (the low byte of the 32-bit status), and the refusal to run twice.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "golden.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/testing/machine_processes.h"

extern char** environ;

namespace qv::teamcmd {
namespace {

using testing::Golden;

const std::string kBanner = "\nQuorvex Teaming Command line Utility (QvTeamCmd v2,0,1,5)\n";

struct Exited {
    int status;
    std::string output;
};

// Every run ends within this time or is killed (and the test fails): a run that waits on something
// must not hang the suite.
constexpr auto kRunLimit = std::chrono::seconds(20);

// Runs the program with QV_MACHINE set to machine (and the extra environment entries) and returns
// its standard output and exit code.
Exited RunProgram(const std::filesystem::path& machine, const std::vector<std::string>& args,
                  const std::vector<std::string>& extraEnv = {}) {
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    const std::string program = std::string(QV_BIN_DIR) + "/QvTeamCmd";
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

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    qv::testing::TempMachine machine_;
};

TEST_F(ProgramTest, UsageAndListingStatuses) {
    const Exited usage = RunProgram(machine_.dir(), {});
    EXPECT_EQ(usage.status, 0x01);  // 0xCE000001
    EXPECT_EQ(usage.output, kBanner + Golden("usage.txt"));

    const Exited listing = RunProgram(machine_.dir(), {"-l"});
    EXPECT_EQ(listing.status, 1);
    EXPECT_EQ(listing.output, kBanner + Golden("listing_default.txt"));
}

TEST_F(ProgramTest, MissingTeamNameAndParserMessages) {
    const Exited noName =
        RunProgram(machine_.dir(), {"-c", "Local Area Connection", "Local Area Connection 2", "1"});
    EXPECT_EQ(noName.status, 0x01);
    EXPECT_EQ(noName.output, kBanner + "\nError: Team Name not specified\n");

    const Exited blank = RunProgram(machine_.dir(), {"-a", "Local Area Connection", " V1", "5"});
    EXPECT_EQ(blank.status, 0x01);
    EXPECT_EQ(blank.output,
              kBanner + "Add Vlan option, Extra checks failed, len1 = 3\n" + Golden("usage.txt"));
}

TEST_F(ProgramTest, LogThatCannotBeOpenedEndsWithZero) {
    const Exited exited =
        RunProgram(machine_.dir(), {"-f", (machine_.dir() / "none" / "x.log").string(), "-l"});
    EXPECT_EQ(exited.status, 0);
    const std::string listing = Golden("listing_default.txt");
    EXPECT_EQ(exited.output, kBanner + listing.substr(0, listing.find("\nTeam Adapters:\n")));
}

// A FIFO as the log file or as QV_TRACE is refused at once, as a file that cannot be opened: no run
// waits for a reader. The log then ends the run with 0 after the free adapters; the trace is off.
TEST_F(ProgramTest, FifoAsLogOrTraceIsRefusedPromptly) {
    const std::string fifo = (machine_.dir().parent_path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string listing = Golden("listing_default.txt");

    const Exited logged = RunProgram(machine_.dir(), {"-f", fifo, "-l"});
    EXPECT_EQ(logged.status, 0);
    EXPECT_EQ(logged.output, kBanner + listing.substr(0, listing.find("\nTeam Adapters:\n")));

    const Exited traced = RunProgram(machine_.dir(), {"-l"}, {"QV_TRACE=" + fifo});
    EXPECT_EQ(traced.status, 1);
    EXPECT_EQ(traced.output, kBanner + listing);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// A second copy of the program running on the machine makes it refuse to run; copies running on
// another machine do not count, and neither does one that was killed.
TEST_F(ProgramTest, SecondCopyOnTheMachineIsRefused) {
    const std::string refused =
        kBanner + "An instance of QvTeamCmd.exe is already running. Please try again later.\n";
    qv::testing::TempMachine other;
    qv::testing::MachineProcesses programs;
    programs.Start("QvTeamCmd.exe");
    machine_.Select();
    EXPECT_EQ(RunProgram(other.dir(), {"-l"}).output, refused);
    EXPECT_EQ(RunProgram(machine_.dir(), {"-l"}).status, 1);  // listing done

    const pid_t copy = programs.Start("QvTeamCmd.exe");
    const Exited exited = RunProgram(machine_.dir(), {"-l"});
    EXPECT_EQ(exited.status, 0x03);  // 0xCE000003
    EXPECT_EQ(exited.output, refused);
    programs.Kill(copy);
    EXPECT_EQ(RunProgram(machine_.dir(), {"-l"}).status, 1);
}

}  // namespace
}  // namespace qv::teamcmd
