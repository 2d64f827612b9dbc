// The single-instance checks against real processes and the administrator test of the simulated host.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "qv/teamlib/inventory.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/testing/temp_dir.h"

namespace qv {
namespace {

// Copies of /bin/sleep named like the command-line program, started and stopped by the test.
class NamedSleepers {
  public:
    ~NamedSleepers() {
        for (pid_t pid : children_) Stop(pid);
    }
    bool Start() {
        const auto program = dir_ / "QvTeamCmd";
        std::error_code error;
        if (!std::filesystem::exists(program)) std::filesystem::copy_file("/bin/sleep", program, error);
        if (error) return false;
        const pid_t pid = fork();
        if (pid < 0) return false;
        if (pid == 0) {
            execl(program.c_str(), "QvTeamCmd", "30", static_cast<char*>(nullptr));
            _exit(127);
        }
        children_.push_back(pid);
        // The child counts once it has replaced itself with the program.
        const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
        for (int i = 0; i < 200; ++i) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(exe, linkError).filename() == "QvTeamCmd") return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

  private:
    static void Stop(pid_t pid) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    qv::testing::TempDir dir_{"qvinstance"};
    std::vector<pid_t> children_;
};

TEST(InstanceCheckTest, AnswersOneOnlyWithTwoCopiesRunning) {
    NamedSleepers sleepers;
    EXPECT_EQ(IsQvTeamCmdRunning(), 0);
    ASSERT_TRUE(sleepers.Start());
    EXPECT_EQ(IsQvTeamCmdRunning(), 0);
    ASSERT_TRUE(sleepers.Start());
    EXPECT_EQ(IsQvTeamCmdRunning(), 1);
    EXPECT_EQ(IsQvTeamCfgRunning(), 0);
}

TEST(IsUserAdminTest, FollowsTheHostsAnswer) {
    testing::TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::u16string host = u"SOFTWARE\\QvSim\\Host";
    ASSERT_TRUE(testing::WriteValueBytes(host, u"Administrator", 4, {1, 0, 0, 0}));
    EXPECT_NE(IsUserAdmin(), 0);
    ASSERT_TRUE(testing::WriteValueBytes(host, u"Administrator", 4, {0, 0, 0, 0}));
    EXPECT_EQ(IsUserAdmin(), 0);
}

}  // namespace
}  // namespace qv
