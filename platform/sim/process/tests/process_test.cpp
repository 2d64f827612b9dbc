// The process list of a simulated machine (its process table) and image names, with real child
// processes.
#include "qv/platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qv/platform/wintypes.h"
#include "qv/sim/machine.h"
#include "qv/sim/process_table.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/machine_processes.h"
#include "qv/testing/temp_dir.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using qv::testing::MachineOptions;
using qv::testing::MachineProcesses;
using qv::testing::TempMachine;

std::vector<uint32_t> ListedIds(uint32_t capacity = 1024) {
    std::vector<uint32_t> ids(capacity + 1, 0xDEADBEEF);
    uint32_t bytes = 0;
    EXPECT_TRUE(proc::EnumProcesses(ids.data(), capacity * 4, &bytes));
    EXPECT_EQ(ids[capacity], 0xDEADBEEF);  // never beyond the buffer
    ids.resize(bytes / 4);
    return ids;
}

std::u16string ImageOf(uint32_t pid) {
    char16_t image[260] = u"<unknown>";
    proc::GetProcessImageBaseName(pid, image, 260);
    return image;
}

// Counts listed processes whose image name is name (ignoring case), as the instance checks do.
int CountProcesses(std::u16string_view name) {
    int count = 0;
    for (const uint32_t pid : ListedIds()) count += sim::EqualsIgnoreCase(ImageOf(pid), name) ? 1 : 0;
    return count;
}

// The list is the machine's: the caller first, then the programs running on this machine, not
// those of another machine; a killed program leaves it at once.
TEST(MachineProcessList, HoldsTheProgramsOfThisMachineOnly) {
    TempMachine other(MachineOptions::OnFirstUse());
    TempMachine machine(MachineOptions::OnFirstUse());
    MachineProcesses programs;
    other.Select();
    programs.Start("QvProbe.exe");
    machine.Select();
    EXPECT_EQ(CountProcesses(u"qvprobe.EXE"), 0);
    const pid_t first = programs.Start("QvProbe.exe");
    programs.Start("QvProbe.exe");
    EXPECT_EQ(CountProcesses(u"qvprobe.EXE"), 2);
    EXPECT_EQ(ImageOf(static_cast<uint32_t>(first)), u"QvProbe.exe");
    EXPECT_EQ(ListedIds().front(), static_cast<uint32_t>(getpid()));
    EXPECT_EQ(ListedIds().size(), 3u);
    EXPECT_EQ(ListedIds(2).size(), 2u);  // cut to the buffer
    programs.Kill(first);
    EXPECT_EQ(CountProcesses(u"QvProbe.exe"), 1);
    other.Select();
    EXPECT_EQ(CountProcesses(u"QvProbe.exe"), 1);

    uint32_t bytes = 0;
    EXPECT_FALSE(proc::EnumProcesses(nullptr, 16, &bytes));
}

// The caller is listed once, under its registered name while it is registered and under its
// executable's Windows name otherwise.
TEST(MachineProcessList, CallerUnderItsOwnName) {
    TempMachine machine(MachineOptions::OnFirstUse());
    const uint32_t self = static_cast<uint32_t>(getpid());
    std::string error;
    ASSERT_TRUE(sim::RegisterProcess("QvTeamCfg.exe", &error)) << error;
    EXPECT_EQ(ListedIds(), std::vector<uint32_t>{self});
    EXPECT_EQ(ImageOf(self), u"QvTeamCfg.exe");
    ASSERT_TRUE(sim::RegisterProcess("QvTray.exe", &error)) << error;  // replaces the entry
    EXPECT_EQ(ListedIds(), std::vector<uint32_t>{self});
    EXPECT_EQ(ImageOf(self), u"QvTray.exe");
    sim::UnregisterProcess();
    EXPECT_EQ(ListedIds(), std::vector<uint32_t>{self});
    EXPECT_EQ(ImageOf(self), u"sim_process_test.exe");
}

// 64 programs fill a machine's table; a 65th is refused with a reason and listing stays exact.
TEST(MachineProcessList, FullTableRefusesMore) {
    TempMachine machine(MachineOptions::OnFirstUse());
    MachineProcesses programs;
    for (int i = 0; i < 64; ++i) ASSERT_GT(programs.Start("QvProbe.exe"), 0);
    std::string error;
    EXPECT_FALSE(sim::RegisterProcess("QvTeamCmd.exe", &error));
    EXPECT_NE(error.find("is full"), std::string::npos) << error;
    EXPECT_EQ(CountProcesses(u"QvProbe.exe"), 64);
}

// What stands where the table should be never blocks or crashes a listing: the list then holds
// the caller alone, and registering says why it cannot. (Opening a FIFO without a writer would
// block for good, so a blocking open shows as a hang of the suite.)
TEST(MachineProcessList, UnusableTablesListTheCallerAlone) {
    const struct {
        const char* what;
        void (*make)(const fs::path& table);
        bool registers;
    } kCases[] = {
        {"a FIFO", [](const fs::path& t) { ASSERT_EQ(mkfifo(t.c_str(), 0600), 0); }, false},
        {"a directory", [](const fs::path& t) { fs::create_directory(t); }, false},
        {"a dangling link", [](const fs::path& t) { fs::create_symlink("/nonexistent/x", t); }, false},
        {"unlocked garbage", [](const fs::path& t) { std::ofstream(t) << std::string(70000, '\xff'); }, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        TempMachine machine(MachineOptions::EmptyRegistry());
        c.make(machine.dir() / "processes");
        EXPECT_EQ(ListedIds(), std::vector<uint32_t>{static_cast<uint32_t>(getpid())});
        std::string error;
        EXPECT_EQ(sim::RegisterProcess("QvTeamCmd.exe", &error), c.registers) << error;
        if (!c.registers) {
            EXPECT_NE(error.find("process table"), std::string::npos) << error;
        }
        sim::UnregisterProcess();
    }
    // A directory that is not a machine is not made one.
    qv::testing::TempDir foreign("qv-foreign");
    std::ofstream(foreign.path() / "notes.txt") << "mine\n";
    sim::SelectMachine(foreign.path());
    std::string error;
    EXPECT_FALSE(sim::RegisterProcess("QvTeamCmd.exe", &error));
    EXPECT_NE(error.find("is not a simulated machine"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(foreign.path() / "processes"));
}

TEST(WindowsImageNames, AddExeUnlessPresent) {
    const std::pair<const char*, const char*> kCases[] = {
        {"QvTeamCmd", "QvTeamCmd.exe"},
        {"qvtool.EXE", "qvtool.EXE"},
        {"a.ex", "a.ex.exe"},
        {"exe", "exe.exe"},
    };
    for (const auto& [base, image] : kCases) EXPECT_EQ(sim::WindowsImageName(base), image) << base;
}

// Asked by id, a process outside the table reports its executable's Windows name, cut to the
// buffer with its terminator; an unknown id fails and leaves the buffer alone.
TEST(ProcessImageNames, ProcessesOutsideTheTableAndBufferRules) {
    const uint32_t self = static_cast<uint32_t>(getpid());
    char16_t small[8];
    small[7] = u'#';
    EXPECT_EQ(proc::GetProcessImageBaseName(self, small, 7), 6u);
    EXPECT_EQ(std::u16string(small), u"sim_pr");
    EXPECT_EQ(small[7], u'#');
    char16_t untouched[16] = u"<unknown>";
    EXPECT_EQ(proc::GetProcessImageBaseName(0x7FFFFFF0u, untouched, 16), 0u);
    EXPECT_EQ(std::u16string(untouched), u"<unknown>");

    // A process without an executable image (a kernel thread) is named by its command name,
    // without the kernel's newline.
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code ec;
        (void)fs::read_symlink(entry.path() / "exe", ec);
        if (ec != std::errc::no_such_file_or_directory) continue;
        std::ifstream comm(entry.path() / "comm");
        std::string command;
        // Worker threads change their command name with their current work: not a stable probe.
        if (!std::getline(comm, command) || command.empty() || command.starts_with("kworker")) continue;
        const std::string expected = command + ".exe";
        EXPECT_EQ(ImageOf(static_cast<uint32_t>(std::stoul(name))),
                  std::u16string(expected.begin(), expected.end()));
        return;
    }
}

}  // namespace
}  // namespace qv
