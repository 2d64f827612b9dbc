// The program QvTeamCfg as a process on a simulated machine: it paints its sheet, and a second
// start while one copy runs shows the instance message and ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "qv/teamlib/inventory.h"
#include "qv/testing/program_run.h"
#include "qv/testing/temp_machine.h"

namespace {

using qv::testing::RunProgram;

const std::vector<std::string> kPaintOnce = {"QT_QPA_PLATFORM=offscreen", "QV_TEAMCFG_EXIT_AFTER_PAINT=1"};

// A copy of the program that runs until the test ends it.
class RunningCopy {
  public:
    explicit RunningCopy(const std::filesystem::path& machine) {
        const std::string program = std::string(QV_BIN_DIR) + "/QvTeamCfg";
        std::string env[] = {"QV_MACHINE=" + machine.string(), "PATH=/usr/bin:/bin",
                             "QT_QPA_PLATFORM=offscreen"};
        char* envp[] = {env[0].data(), env[1].data(), env[2].data(), nullptr};
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RunningCopy() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    bool started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

TEST(QvTeamCfgProgramTest, PaintsItsSheetAndRefusesASecondCopy) {
    qv::testing::TempMachine machine;
    ASSERT_TRUE(machine.ok()) << machine.error();

    const qv::testing::Exited alone = RunProgram("QvTeamCfg", machine.dir(), {}, kPaintOnce);
    EXPECT_EQ(alone.status, 0);
    EXPECT_EQ(alone.output, "Quorvex Configuration Utility\n");

    RunningCopy first(machine.dir());
    ASSERT_TRUE(first.started());
    const auto deadline = std::chrono::steady_clock::now() + qv::testing::kRunLimit;
    while (qv::CountProcessesNamed(u"QvTeamCfg.exe", 2) != 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(qv::CountProcessesNamed(u"QvTeamCfg.exe", 2), 1);

    // The message box has no title and shows no caption: not even the program's name.
    const qv::testing::Exited second = RunProgram("QvTeamCfg", machine.dir(), {}, kPaintOnce);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.output, ": Another Instance of the app is already running\n");
}

}  // namespace
