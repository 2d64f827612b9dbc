// Process enumeration and image names on the simulated host, with real child processes.
#include "qv/platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qv/platform/wintypes.h"
#include "qv/testing/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// Counts processes whose image name is name (ignoring case), as the single-instance checks do.
int CountProcesses(std::u16string_view name) {
    std::vector<uint32_t> ids(1024);
    uint32_t bytes = 0;
    EXPECT_TRUE(proc::EnumProcesses(ids.data(), 4096, &bytes));
    int count = 0;
    for (uint32_t i = 0; i < bytes / 4; ++i) {
        char16_t image[260] = u"<unknown>";
        const uint32_t length = proc::GetProcessImageBaseName(ids[i], image, 260);
        if (length != name.size()) continue;
        bool same = true;
        for (size_t k = 0; k < length && same; ++k) {
            const auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; };
            same = fold(image[k]) == fold(name[k]);
        }
        count += same ? 1 : 0;
    }
    return count;
}

// A copy of /bin/sleep under another name in a temporary directory; children run it.
class NamedSleeper {
  public:
    explicit NamedSleeper(const char* name) {
        exe_ = dir_ / name;
        fs::copy_file("/bin/sleep", exe_);
        fs::permissions(exe_, fs::perms::owner_all);
    }
    ~NamedSleeper() {
        for (pid_t pid : children_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t Start() {
        const pid_t pid = fork();
        if (pid == 0) {
            execl(exe_.c_str(), exe_.filename().c_str(), "30", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid < 0) {
            ADD_FAILURE() << "fork failed";
            return pid;
        }
        children_.push_back(pid);
        // Wait (bounded) until the child has exec'd and shows the new image.
        for (int i = 0; i < 200; ++i) {
            std::error_code ec;
            if (fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec) == exe_) return pid;
            usleep(10000);
        }
        ADD_FAILURE() << "child did not start";
        return pid;
    }

  private:
    qv::testing::TempDir dir_{"qv-proc-test"};
    fs::path exe_;
    std::vector<pid_t> children_;
};

TEST(ProcessImageNames, CountsOneAndTwoRunningCopies) {
    // A name of this test's own, so that suites running QvTeamCmd in parallel do not disturb the count.
    const std::string name = "QvProbe" + std::to_string(getpid());
    const std::u16string image = std::u16string(name.begin(), name.end()) + u".exe";
    NamedSleeper sleeper(name.c_str());
    EXPECT_EQ(CountProcesses(image), 0);
    sleeper.Start();
    EXPECT_EQ(CountProcesses(image), 1);
    sleeper.Start();
    EXPECT_EQ(CountProcesses(image), 2);
}

TEST(ProcessImageNames, HostBinaryReportsItsWindowsName) {
    NamedSleeper sleeper("QvTeamCmd");
    const pid_t child = sleeper.Start();
    char16_t image[260] = u"<unknown>";
    EXPECT_EQ(proc::GetProcessImageBaseName(static_cast<uint32_t>(child), image, 260), 13u);
    EXPECT_EQ(std::u16string(image), u"QvTeamCmd.exe");
    EXPECT_GE(CountProcesses(u"qvteamcmd.EXE"), 1);  // matched without regard to case
}

TEST(ProcessImageNames, OwnNameAndBufferRules) {
    char16_t name[260] = u"<unknown>";
    const uint32_t length = proc::GetProcessImageBaseName(static_cast<uint32_t>(getpid()), name, 260);
    EXPECT_EQ(std::u16string(name), u"sim_process_test.exe");
    EXPECT_EQ(length, 20u);

    // Cut to the buffer with a terminator, never beyond it.
    char16_t small[8];
    small[7] = u'#';
    EXPECT_EQ(proc::GetProcessImageBaseName(static_cast<uint32_t>(getpid()), small, 7), 6u);
    EXPECT_EQ(std::u16string(small), u"sim_pr");
    EXPECT_EQ(small[7], u'#');

    // A process that does not exist fails and leaves the buffer alone.
    char16_t untouched[16] = u"<unknown>";
    EXPECT_EQ(proc::GetProcessImageBaseName(0x7FFFFFF0u, untouched, 16), 0u);
    EXPECT_EQ(std::u16string(untouched), u"<unknown>");
}

TEST(ProcessEnumeration, BoundedByTheBuffer) {
    uint32_t ids[4] = {0, 0, 0, 0xDEADBEEF};
    uint32_t bytes = 0;
    ASSERT_TRUE(proc::EnumProcesses(ids, 12, &bytes));
    EXPECT_LE(bytes, 12u);
    EXPECT_EQ(bytes % 4, 0u);
    EXPECT_EQ(ids[3], 0xDEADBEEF);

    std::vector<uint32_t> all(4096);
    ASSERT_TRUE(proc::EnumProcesses(all.data(), static_cast<uint32_t>(all.size() * 4), &bytes));
    bool self = false;
    for (uint32_t i = 0; i < bytes / 4; ++i) self = self || all[i] == static_cast<uint32_t>(getpid());
    EXPECT_TRUE(self);
    EXPECT_FALSE(proc::EnumProcesses(nullptr, 16, &bytes));
}

// A process without an executable image (a kernel thread) is named by its command name; the
// kernel's newline does not become part of the name.
TEST(ProcessImageNames, ProcessWithoutImageUsesItsCommandName) {
    std::vector<uint32_t> ids(4096);
    uint32_t bytes = 0;
    ASSERT_TRUE(proc::EnumProcesses(ids.data(), static_cast<uint32_t>(ids.size() * 4), &bytes));
    for (uint32_t i = 0; i < bytes / 4; ++i) {
        const std::string dir = "/proc/" + std::to_string(ids[i]);
        std::error_code ec;
        (void)fs::read_symlink(dir + "/exe", ec);
        if (ec != std::errc::no_such_file_or_directory) continue;
        std::ifstream comm(dir + "/comm");
        std::string command;
        // Worker threads change their command name with their current work: not a stable probe.
        if (!std::getline(comm, command) || command.empty() || command.starts_with("kworker")) continue;
        char16_t image[260] = u"<unknown>";
        const uint32_t length = proc::GetProcessImageBaseName(ids[i], image, 260);
        if (length == 0 && !fs::exists(dir)) continue;  // ended meanwhile
        const std::string expected = command + ".exe";
        EXPECT_EQ(std::u16string(image), std::u16string(expected.begin(), expected.end()));
        EXPECT_EQ(length, expected.size());
        return;
    }
    GTEST_SKIP() << "no process without an executable image is visible here";
}

// Kernel threads run inside one process on Windows, and an ended process is gone from the list: of
// the pids without an executable image only kthreadd (2) is listed; a zombie child is not, a
// running one is.
TEST(ProcessEnumeration, ListsNoZombiesAndOneProcessForTheKernelThreads) {
    NamedSleeper sleeper(("QvListed" + std::to_string(getpid())).c_str());
    const pid_t running = sleeper.Start();
    const pid_t zombie = fork();
    if (zombie == 0) _exit(0);
    ASSERT_GT(zombie, 0);
    for (int i = 0; i < 200 && fs::exists("/proc/" + std::to_string(zombie) + "/exe"); ++i) usleep(10000);

    std::vector<uint32_t> ids(4096);
    uint32_t bytes = 0;
    ASSERT_TRUE(proc::EnumProcesses(ids.data(), static_cast<uint32_t>(ids.size() * 4), &bytes));
    ids.resize(bytes / 4);
    const auto listed = [&ids](uint32_t pid) { return std::find(ids.begin(), ids.end(), pid) != ids.end(); };
    EXPECT_TRUE(listed(static_cast<uint32_t>(running)));
    EXPECT_FALSE(listed(static_cast<uint32_t>(zombie)));
    for (const uint32_t pid : ids) {
        std::error_code ec;
        (void)fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec);
        EXPECT_TRUE(pid == 2 || ec != std::errc::no_such_file_or_directory ||
                    !fs::exists("/proc/" + std::to_string(pid)))
            << "pid " << pid << " has no image";
    }
    waitpid(zombie, nullptr, 0);
}

}  // namespace
}  // namespace qv
