// The built QvTeamCmd as a process on a temporary machine: its console output and the exit status
// a shell sees (the low byte of the 32-bit status), and the refusal to run twice.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
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

extern char** environ;

namespace qv::teamcmd {
namespace {

using testing::Golden;

const std::string kBanner = "\nQuorvex Teaming Command line Utility (QvTeamCmd v2,0,1,5)\n";

struct Exited {
    int status;
    std::string output;
};

// Runs the program with QV_MACHINE set to machine and returns its standard output and exit code.
Exited RunProgram(const std::filesystem::path& machine, const std::vector<std::string>& args) {
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    const std::string program = std::string(QV_BIN_DIR) + "/QvTeamCmd";
    std::vector<std::string> env = {"QV_MACHINE=" + machine.string(), "PATH=/usr/bin:/bin"};
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
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        exited.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
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

// A second process named QvTeamCmd (a copy of sleep) makes the program refuse to run.
TEST_F(ProgramTest, SecondCopyIsRefused) {
    const std::filesystem::path sleeper = machine_.dir().parent_path() / "QvTeamCmd";
    std::filesystem::copy_file("/bin/sleep", sleeper);
    std::string seconds = "20";
    char* argv[] = {const_cast<char*>(sleeper.c_str()), seconds.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, sleeper.c_str(), nullptr, nullptr, argv, environ), 0);
    // Wait (bounded) until the copy has replaced its image, so that it shows under its name.
    const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
    for (int i = 0; i < 200 && std::filesystem::read_symlink(exe).filename() != "QvTeamCmd"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    const Exited exited = RunProgram(machine_.dir(), {"-l"});
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(exited.status, 0x03);  // 0xCE000003
    EXPECT_EQ(exited.output,
              kBanner + "An instance of QvTeamCmd.exe is already running. Please try again later.\n");
}

}  // namespace
}  // namespace qv::teamcmd
