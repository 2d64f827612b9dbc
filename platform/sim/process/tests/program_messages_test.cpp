// Program start and registered messages on a simulated machine: the system directory, detached
// starts of host programs, message numbers shared by the machine's processes, and broadcasts
// between forked processes (listeners that die, garbage in the spool, senders racing).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "qv/host/broadcasts.h"
#include "qv/platform/files.h"
#include "qv/platform/process.h"
#include "qv/platform/utf.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/device_database.h"
#include "qv/testing/child_process.h"
#include "qv/testing/eventually.h"
#include "qv/testing/temp_dir.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using qv::testing::Child;
using qv::testing::Eventually;
using qv::testing::MachineOptions;
using qv::testing::ReadFile;
using qv::testing::ReportLine;
using qv::testing::TempMachine;
using qv::testing::WriteFile;

// The hang guard, for the waits that take milliseconds.
constexpr int kHangGuardMs = std::chrono::milliseconds(qv::testing::kHangGuard).count();

std::string Describe(const host::BroadcastMessage& m) {
    return std::to_string(m.message) + " " + std::to_string(m.wParam) + " " + std::to_string(m.lParam) + " " +
           std::to_string(m.senderPid);
}

// A child that listens, says "ready", then reports each message it receives.
void Listen(int report) {
    std::string error;
    ReportLine(report, host::ListenForBroadcasts(&error) ? "ready" : error);
    for (host::BroadcastMessage message{};;) {
        if (host::WaitForBroadcast(10000, &message)) ReportLine(report, Describe(message));
    }
}

// The system directory is the Windows directory's system32; a program path there starts the host
// program of that name (without regard to case), detached and on the caller's machine; any other
// path is "file not found".
TEST(StartDetachedProgram, StartsHostProgramsOfTheSystemDirectoryOnly) {
    TempMachine machine(MachineOptions::OnFirstUse());
    char16_t windows[260], buffer[260];
    const uint32_t length = file::GetSystemWindowsDirectory(windows, 260),
                   systemLength = proc::GetSystemDirectory(buffer, 260);
    ASSERT_LT(std::max(length, systemLength), 260u);
    const std::u16string system(buffer, systemLength);
    ASSERT_EQ(system, std::u16string(windows, length) + u"\\system32");
    EXPECT_EQ(proc::GetSystemDirectory(buffer, static_cast<uint32_t>(system.size())), system.size() + 1);

    // The probe tells its process id and then runs on as "sleep", to be looked at from outside.
    const qv::testing::TempDir programs("qv-programs");
    ASSERT_TRUE(WriteFile(programs / "Probe",
                          "#!/bin/sh\necho $$ > \"$QV_MACHINE/probe.tmp\"\n"
                          "mv \"$QV_MACHINE/probe.tmp\" \"$QV_MACHINE/probe.pid\"\n"
                          "exec sleep 30\n"));
    fs::permissions(programs / "Probe", fs::perms::owner_all);
    ASSERT_TRUE(WriteFile(programs / "Plain", "not executable\n"));
    ASSERT_EQ(setenv("QV_HOST_PROGRAMS", programs.str().c_str(), 1), 0);
    const int leaked = open(programs.str().c_str(), O_RDONLY);  // must not reach the program
    const struct {
        std::u16string path;
        bool starts;
    } kCases[] = {
        {system + u"\\Probe.exe", true},    {system + u"/probe.EXE", true},
        {system + u"\\Missing.exe", false}, {system + u"\\Plain.exe", false},
        {system + u"\\Probe", false},       {system + u"\\sub\\Probe.exe", false},
        {u"C:\\Tools\\Probe.exe", false},   {system + u"\\..\\system32\\Probe.exe", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(ToUtf8(c.path));
        fs::remove(machine.dir() / "probe.pid");
        EXPECT_EQ(proc::StartDetachedProgram(c.path.c_str()), c.starts);
        if (!c.starts) {
            EXPECT_EQ(GetLastError(), kErrorFileNotFound);
            continue;
        }
        ASSERT_TRUE(Eventually([&] { return !ReadFile(machine.dir() / "probe.pid").empty(); }));
        const pid_t pid = std::stoi(ReadFile(machine.dir() / "probe.pid"));
        const fs::path proc = "/proc/" + std::to_string(pid);
        ASSERT_TRUE(Eventually([&] { return ReadFile(proc / "comm") == "sleep\n"; }));
        // While sleep is still being loaded, the loader and the C library have files of their own
        // open for a moment; a descriptor of the caller that leaked in stays for good.
        const std::map<std::string, std::string> kStandardStreams = {
            {"0", "/dev/null"}, {"1", "/dev/null"}, {"2", "/dev/null"}};
        std::map<std::string, std::string> fds;
        EXPECT_TRUE(Eventually([&] {
            fds.clear();
            std::error_code error;
            for (const auto& fd : fs::directory_iterator(proc / "fd", error))
                fds[fd.path().filename().string()] = fs::read_symlink(fd.path(), error).string();
            return fds == kStandardStreams;
        })) << ::testing::PrintToString(fds);
        const std::string machineVariable = "QV_MACHINE=" + fs::absolute(machine.dir()).string() + '\0';
        // The name of the new image is set before its environment is mapped: wait for both.
        EXPECT_TRUE(Eventually(
            [&] { return ReadFile(proc / "environ").find(machineVariable) != std::string::npos; }));
        const std::string stat = ReadFile(proc / "stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string state;
        pid_t parent = 0, group = 0, session = 0;
        fields >> state >> parent >> group >> session;
        EXPECT_NE(parent, getpid());
        EXPECT_NE(session, getsid(0));
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // nobody has to reap anything
        kill(pid, SIGKILL);
    }
    EXPECT_FALSE(proc::StartDetachedProgram(nullptr));
    close(leaked);
    unsetenv("QV_HOST_PROGRAMS");
}

// One name, one number in every process of the machine, whatever the case and whoever asks first.
TEST(RegisterWindowMessage, SameNumberForTheSameNameInEveryProcess) {
    TempMachine machine(MachineOptions::OnFirstUse());
    const std::vector<std::u16string> names = {u"TermQvTray", u"Alpha", u"Beta", u"Gamma"};
    const auto numbers = [&](size_t first) {  // registered from names[first] on, listed in order
        std::vector<uint32_t> got(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            const size_t at = (first + i) % names.size();
            got[at] = proc::RegisterWindowMessage(names[at].c_str());
        }
        std::string line;
        for (const uint32_t number : got) line += std::to_string(number) + " ";
        return line;
    };
    std::vector<std::unique_ptr<Child>> children;
    for (size_t first = 0; first < names.size(); ++first)
        children.push_back(
            std::make_unique<Child>([&, first](int report) { ReportLine(report, numbers(first)); }));
    const std::string mine = numbers(0);
    for (auto& child : children) EXPECT_EQ(child->Line(), mine);
    std::set<uint32_t> distinct;
    for (const auto& name : names) distinct.insert(proc::RegisterWindowMessage(name.c_str()));
    EXPECT_EQ(distinct.size(), names.size());
    EXPECT_GE(*distinct.begin(), 0xC000u);
    EXPECT_LE(*distinct.rbegin(), 0xFFFFu);
    EXPECT_EQ(proc::RegisterWindowMessage(u"TERMQVTRAY"), proc::RegisterWindowMessage(u"TermQvTray"));

    const std::u16string longest(255, u'n');
    EXPECT_NE(proc::RegisterWindowMessage(longest.c_str()), 0u);
    for (const std::u16string& bad : {std::u16string(), longest + u"n"}) {
        EXPECT_EQ(proc::RegisterWindowMessage(bad.c_str()), 0u);
        EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    }
    EXPECT_EQ(proc::RegisterWindowMessage(nullptr), 0u);

    // Damaged values: a number out of range is replaced, a new name still gets a number of its own,
    // and once 0xFFFF is given there is none left.
    const char16_t* kMessages = u"SOFTWARE\\QvSim\\WindowMessages";
    ASSERT_EQ(sim::WriteKeyValues(kMessages, {{sim::RegValue::Dword(u"Alpha", 5)}}), kErrorSuccess);
    EXPECT_EQ(proc::RegisterWindowMessage(u"alpha"), *distinct.rbegin() + 2);  // after the 255-character name
    ASSERT_EQ(sim::WriteKeyValues(kMessages, {{sim::RegValue::Dword(u"Top", 0xFFFF)}}), kErrorSuccess);
    EXPECT_EQ(proc::RegisterWindowMessage(u"Full"), 0u);
    EXPECT_EQ(proc::RegisterWindowMessage(u"Top"), 0xFFFFu);
}

class Broadcasts : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host::ListenForBroadcasts(&error)) << error;
    }
    void TearDown() override { host::StopListening(); }
    fs::path Spool() const { return machine_.dir() / "messages"; }
    // The mailbox of pid in the spool; empty when it has none.
    fs::path MailboxOf(pid_t pid) const {
        for (const auto& entry : fs::directory_iterator(Spool()))
            if (entry.path().filename().string().starts_with(std::to_string(pid) + "-")) return entry.path();
        return {};
    }

    TempMachine machine_{MachineOptions::OnFirstUse()};
};

// A broadcast reaches every other listening process with its parameters and sender, not the sender.
TEST_F(Broadcasts, ReachOtherListenersButNotTheSender) {
    Child first(Listen), second(Listen);
    ASSERT_EQ(first.Line(), "ready");
    ASSERT_EQ(second.Line(), "ready");
    EXPECT_EQ(proc::BroadcastToApplications(0xC123, 7, -3), 1);
    const std::string expected = "49443 7 -3 " + std::to_string(getpid());
    EXPECT_EQ(first.Line(), expected);
    EXPECT_EQ(second.Line(), expected);

    // The first message to arrive here is the next one of another process: the own broadcast, sent
    // before that process even existed, never came.
    Child sender([](int) { proc::BroadcastToApplications(0xC124, 1, 2); });
    host::BroadcastMessage message{};
    ASSERT_TRUE(host::WaitForBroadcast(kHangGuardMs, &message));
    EXPECT_EQ(Describe(message), "49444 1 2 " + std::to_string(sender.pid()));
    EXPECT_EQ(first.Line(), Describe(message));

    host::StopListening();  // nothing more arrives, and the mailbox is gone
    EXPECT_EQ(MailboxOf(getpid()), fs::path());
    Child again([](int) { proc::BroadcastToApplications(0xC125, 0, 0); });
    EXPECT_EQ(first.Line(), "49445 0 0 " + std::to_string(again.pid()));
    EXPECT_FALSE(host::TakeBroadcast(&message));
}

// A killed listener's mailbox goes with the next broadcast; anything else in the spool is left
// alone and never written to; bytes in a mailbox that are no record are skipped.
TEST_F(Broadcasts, DeadListenersAndGarbage) {
    Child dead(Listen);
    ASSERT_EQ(dead.Line(), "ready");
    const pid_t deadPid = dead.pid();
    dead.Kill();
    const fs::path own = MailboxOf(getpid());
    ASSERT_TRUE(WriteFile(Spool() / "4000001-0123456789abcdef", "a regular file\n"));
    fs::create_directory(Spool() / "4000002-0123456789abcdef");
    fs::create_symlink(own, Spool() / "4000003-0123456789abcdef");
    ASSERT_EQ(mkfifo((Spool() / "stray").c_str(), 0600), 0);
    const int fd = open(own.c_str(), O_WRONLY | O_NONBLOCK);
    const unsigned char garbage[37] = {0x51, 0x56, 0x4D, 0x31, 1, 2, 3};  // a mark without a valid record
    ASSERT_EQ(write(fd, garbage, sizeof garbage), static_cast<ssize_t>(sizeof garbage));
    close(fd);

    // The sender's second message comes right after the first: one copy, the link was not followed.
    Child sender([](int) {
        proc::BroadcastToApplications(0xC200, 5, 6);
        proc::BroadcastToApplications(0xC201, 7, 8);
    });
    const std::string from = " " + std::to_string(sender.pid());
    host::BroadcastMessage message{};
    for (const std::string& expected : {"49664 5 6" + from, "49665 7 8" + from}) {
        ASSERT_TRUE(host::WaitForBroadcast(kHangGuardMs, &message));
        EXPECT_EQ(Describe(message), expected);
    }
    EXPECT_EQ(MailboxOf(deadPid), fs::path());
    EXPECT_EQ(ReadFile(Spool() / "4000001-0123456789abcdef"), "a regular file\n");
    for (const char* kept : {"4000002-0123456789abcdef", "4000003-0123456789abcdef", "stray"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(Spool() / kept))) << kept;

    // A spool that is no directory: nobody can listen there, and a broadcast fails.
    host::StopListening();
    fs::remove_all(Spool());
    ASSERT_TRUE(WriteFile(Spool(), "garbage"));
    EXPECT_EQ(proc::BroadcastToApplications(0xC202, 0, 0), -1);
    std::string error;
    EXPECT_FALSE(host::ListenForBroadcasts(&error));
    EXPECT_NE(error.find("messages"), std::string::npos) << error;
}

// Senders broadcasting at once: every message arrives whole, each sender's in order.
TEST_F(Broadcasts, ConcurrentSendersLoseNothing) {
    constexpr int kSenders = 4, kEach = 50;
    std::vector<std::unique_ptr<Child>> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.push_back(std::make_unique<Child>([s](int) {
            for (int i = 0; i < kEach; ++i) proc::BroadcastToApplications(0xC300 + s, i, -i);
        }));
    }
    std::map<uint32_t, int> next;
    host::BroadcastMessage message{};
    for (int got = 0; got < kSenders * kEach; ++got) {
        ASSERT_TRUE(host::WaitForBroadcast(kHangGuardMs, &message)) << got;
        EXPECT_EQ(static_cast<int>(message.wParam), next[message.message]++);
        EXPECT_EQ(message.lParam, -static_cast<intptr_t>(message.wParam));
    }
    EXPECT_EQ(next.size(), static_cast<size_t>(kSenders));
    // Nothing more: once the senders have ended, the next message is a later one of another process.
    for (auto& sender : senders) sender->Wait();
    Child last([](int) { proc::BroadcastToApplications(0xC3FF, 1, 1); });
    ASSERT_TRUE(host::WaitForBroadcast(kHangGuardMs, &message));
    EXPECT_EQ(Describe(message), "50175 1 1 " + std::to_string(last.pid()));
}

}  // namespace
}  // namespace qv
