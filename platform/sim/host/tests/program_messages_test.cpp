// Program start and registered messages on a simulated machine: the system directory, detached
// starts of host programs, message numbers shared by the machine's processes, and broadcasts
// between forked processes (listeners that die, garbage in the spool, senders racing).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "qv/host/broadcasts.h"
#include "qv/platform/files.h"
#include "qv/platform/process.h"
#include "qv/platform/utf.h"
#include "qv/platform/wintypes.h"
#include "qv/testing/temp_dir.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using qv::testing::MachineOptions;
using qv::testing::ReadFile;
using qv::testing::TempDir;
using qv::testing::TempMachine;
using qv::testing::WriteFile;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(10);

std::u16string SystemDirectory() {
    char16_t buffer[260];
    const uint32_t length = proc::GetSystemDirectory(buffer, 260);
    return length > 0 && length < 260 ? std::u16string(buffer, length) : std::u16string();
}

// Waits (bounded) until done() holds.
bool Eventually(const std::function<bool()>& done) {
    for (const auto deadline = Clock::now() + kPatience; Clock::now() < deadline;) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// A forked process running body, which reports to the parent in lines; ended and reaped when the
// object goes.
class Child {
  public:
    explicit Child(const std::function<void(int report)>& body) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            body(fds[1]);
            _exit(0);
        }
        close(fds[1]);
        from_ = fds[0];
    }
    ~Child() {
        Kill();
        close(from_);
    }
    pid_t pid() const { return pid_; }
    // The next line the child reports; empty when none comes in time.
    std::string Line() {
        for (const auto deadline = Clock::now() + kPatience; Clock::now() < deadline;) {
            if (const auto end = buffered_.find('\n'); end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            pollfd wait{from_, POLLIN, 0};
            if (poll(&wait, 1, 100) != 1) continue;
            char chunk[256];
            const ssize_t got = read(from_, chunk, sizeof chunk);
            if (got <= 0) break;
            buffered_.append(chunk, static_cast<size_t>(got));
        }
        return {};
    }
    void Kill() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

  private:
    pid_t pid_ = 0;
    int from_ = -1;
    std::string buffered_;
};

void Report(int report, const std::string& line) {
    const std::string text = line + "\n";
    (void)!write(report, text.data(), text.size());
}

std::string Describe(const host::BroadcastMessage& m) {
    return std::to_string(m.message) + " " + std::to_string(m.wParam) + " " + std::to_string(m.lParam) + " " +
           std::to_string(m.senderPid);
}

// A child that listens, says "ready", then reports each message it receives until none comes for
// a while, then "done".
std::function<void(int)> Listening() {
    return [](int report) {
        std::string error;
        if (!host::ListenForBroadcasts(&error)) return Report(report, "cannot listen: " + error);
        Report(report, "ready");
        host::BroadcastMessage message{};
        while (host::WaitForBroadcast(500, &message)) Report(report, Describe(message));
        Report(report, "done");
    };
}

class Broadcasts : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host::ListenForBroadcasts(&error)) << error;
    }
    void TearDown() override { host::StopListening(); }
    fs::path Spool() const { return machine_.dir() / "messages"; }
    // The mailboxes in the spool whose name starts with pid's.
    int MailboxesOf(pid_t pid) const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(Spool())) {
            count += entry.path().filename().string().starts_with(std::to_string(pid) + "-") ? 1 : 0;
        }
        return count;
    }

    TempMachine machine_{MachineOptions::OnFirstUse()};
};

TEST(SystemDirectory, IsTheWindowsDirectorysSystem32WithWindowsBufferRules) {
    TempMachine machine(MachineOptions::OnFirstUse());
    char16_t windows[260];
    const uint32_t length = file::GetSystemWindowsDirectory(windows, 260);
    ASSERT_GT(length, 0u);
    const std::u16string expected = std::u16string(windows, length) + u"\\system32";
    EXPECT_EQ(SystemDirectory(), expected);
    const auto size = static_cast<uint32_t>(expected.size());
    char16_t small[260];
    EXPECT_EQ(proc::GetSystemDirectory(small, size), size + 1);  // no room for the terminator
    EXPECT_EQ(proc::GetSystemDirectory(small, size + 1), size);
}

// A program path in the system directory starts the host program of that name (without regard
// to case) from the directory of the host programs; any other path is "file not found".
TEST(StartDetachedProgram, StartsHostProgramsOfTheSystemDirectoryOnly) {
    TempMachine machine(MachineOptions::OnFirstUse());
    TempDir programs("qv-programs");
    // The probe tells its process id and then runs on as "sleep", to be looked at from outside.
    ASSERT_TRUE(WriteFile(
        programs / "Probe",
        "#!/bin/sh\n"
        "echo $$ > \"$QV_MACHINE/probe.tmp\" && mv \"$QV_MACHINE/probe.tmp\" \"$QV_MACHINE/probe.pid\"\n"
        "exec sleep 30\n"));
    fs::permissions(programs / "Probe", fs::perms::owner_all);
    ASSERT_TRUE(WriteFile(programs / "Plain", "not a program\n"));  // not executable
    ASSERT_EQ(setenv("QV_HOST_PROGRAMS", programs.str().c_str(), 1), 0);
    // A descriptor the caller leaves open across exec must not reach the program.
    const fs::path marker = machine.scratch() / "leaked.marker";
    ASSERT_TRUE(WriteFile(marker, ""));
    const int leaked = open(marker.c_str(), O_RDONLY);
    ASSERT_GE(leaked, 3);

    const std::u16string system = SystemDirectory();
    const struct {
        std::u16string path;
        bool starts;
    } kCases[] = {
        {system + u"\\Probe.exe", true},       {system + u"\\PROBE.exe", true},
        {system + u"/probe.EXE", true},        {system + u"\\Missing.exe", false},
        {system + u"\\Plain.exe", false},      {system + u"\\Probe", false},
        {system + u"\\sub\\Probe.exe", false}, {system + u"\\..\\system32\\Probe.exe", false},
        {u"C:\\Tools\\Probe.exe", false},      {system + u"\\.exe", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(ToUtf8(c.path));
        fs::remove(machine.dir() / "probe.pid");
        SetLastError(0);
        EXPECT_EQ(proc::StartDetachedProgram(c.path.c_str()), c.starts);
        if (!c.starts) {
            EXPECT_EQ(GetLastError(), kErrorFileNotFound);
            continue;
        }
        ASSERT_TRUE(Eventually([&] { return !ReadFile(machine.dir() / "probe.pid").empty(); }));
        const pid_t pid = std::stoi(ReadFile(machine.dir() / "probe.pid"));
        const fs::path proc = "/proc/" + std::to_string(pid);
        ASSERT_TRUE(Eventually([&] { return ReadFile(proc / "comm") == "sleep\n"; }));
        std::map<std::string, std::string> fds;  // descriptor -> what it is
        for (const auto& fd : fs::directory_iterator(proc / "fd"))
            fds[fd.path().filename().string()] = fs::read_symlink(fd.path()).string();
        const std::map<std::string, std::string> streams = {
            {"0", "/dev/null"}, {"1", "/dev/null"}, {"2", "/dev/null"}};
        EXPECT_EQ(fds, streams);
        std::string environment = ReadFile(proc / "environ");
        EXPECT_NE(environment.find(std::string("QV_MACHINE=") + fs::absolute(machine.dir()).string() + '\0'),
                  std::string::npos);
        const std::string stat = ReadFile(proc / "stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string state;
        pid_t parent = 0, group = 0, session = 0;
        fields >> state >> parent >> group >> session;
        EXPECT_NE(parent, getpid());
        EXPECT_NE(session, getsid(0));
        kill(pid, SIGKILL);
        // Nobody has to reap it: the caller has no child left, running or ended.
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    }
    EXPECT_FALSE(proc::StartDetachedProgram(nullptr));
    close(leaked);
    unsetenv("QV_HOST_PROGRAMS");
}

// One name, one number on the whole machine, whatever the case and whichever process asks first.
TEST(RegisterWindowMessage, SameNumberForTheSameNameInEveryProcess) {
    TempMachine machine(MachineOptions::OnFirstUse());
    const std::vector<std::u16string> names = {u"TermQvTray", u"Alpha", u"Beta", u"Gamma"};
    std::vector<std::unique_ptr<Child>> children;
    for (size_t first = 0; first < names.size(); ++first) {
        children.push_back(std::make_unique<Child>([&, first](int report) {
            std::string line;
            for (size_t i = 0; i < names.size(); ++i) {
                const auto& name = names[(first + i) % names.size()];
                line += ToUtf8(name) + "=" + std::to_string(proc::RegisterWindowMessage(name.c_str())) + " ";
            }
            Report(report, line);
        }));
    }
    std::map<std::string, std::string> numbers;  // name -> the number every child got
    for (auto& child : children) {
        std::string line = child->Line();
        ASSERT_FALSE(line.empty());
        for (size_t at = 0; at < line.size();) {
            const size_t end = line.find(' ', at);
            const std::string pair = line.substr(at, end - at);
            const std::string name = pair.substr(0, pair.find('=')), number = pair.substr(pair.find('=') + 1);
            EXPECT_TRUE(numbers.emplace(name, number).first->second == number) << name;
            at = end + 1;
        }
    }
    std::set<uint32_t> distinct;
    for (const auto& name : names) {
        const uint32_t number = proc::RegisterWindowMessage(name.c_str());
        EXPECT_EQ(std::to_string(number), numbers[ToUtf8(name)]);
        EXPECT_GE(number, 0xC000u);
        EXPECT_LE(number, 0xFFFFu);
        distinct.insert(number);
    }
    EXPECT_EQ(distinct.size(), names.size());
    EXPECT_EQ(proc::RegisterWindowMessage(u"termqvtray"), proc::RegisterWindowMessage(u"TERMQVTRAY"));
    EXPECT_EQ(proc::RegisterWindowMessage(u"termqvtray"), proc::RegisterWindowMessage(u"TermQvTray"));

    const std::u16string longest(255, u'n');
    EXPECT_NE(proc::RegisterWindowMessage(longest.c_str()), 0u);
    for (const char16_t* bad : {static_cast<const char16_t*>(nullptr), u""}) {
        EXPECT_EQ(proc::RegisterWindowMessage(bad), 0u);
        EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    }
    EXPECT_EQ(proc::RegisterWindowMessage((longest + u"n").c_str()), 0u);
}

// A broadcast reaches every other listening process, with its parameters and sender, and not the
// sender itself.
TEST_F(Broadcasts, ReachOtherListenersButNotTheSender) {
    Child first(Listening()), second(Listening());
    ASSERT_EQ(first.Line(), "ready");
    ASSERT_EQ(second.Line(), "ready");
    EXPECT_EQ(proc::BroadcastToApplications(0xC123, 7, -3), 1);
    const std::string expected = "49443 7 -3 " + std::to_string(getpid());
    EXPECT_EQ(first.Line(), expected);
    EXPECT_EQ(second.Line(), expected);
    host::BroadcastMessage message{};
    EXPECT_FALSE(host::WaitForBroadcast(200, &message));

    Child sender(
        [](int report) { Report(report, std::to_string(proc::BroadcastToApplications(0xC124, 1, 2))); });
    EXPECT_EQ(sender.Line(), "1");
    ASSERT_TRUE(host::WaitForBroadcast(5000, &message));
    EXPECT_EQ(Describe(message), "49444 1 2 " + std::to_string(sender.pid()));
    EXPECT_EQ(first.Line(), Describe(message));
    EXPECT_EQ(second.Line(), Describe(message));
    EXPECT_FALSE(host::TakeBroadcast(&message));

    // A process that stopped listening gets nothing more.
    host::StopListening();
    EXPECT_EQ(MailboxesOf(getpid()), 0);
    EXPECT_EQ(host::BroadcastDescriptor(), -1);
    Child again([](int) { proc::BroadcastToApplications(0xC125, 0, 0); });
    EXPECT_EQ(first.Line(), "49445 0 0 " + std::to_string(again.pid()));
    EXPECT_FALSE(host::TakeBroadcast(&message));
}

// A killed listener's mailbox is removed by the next broadcast, which does not wait for it; what
// else lies in the spool is left alone and never written to.
TEST_F(Broadcasts, DeadListenersAndGarbageInTheSpool) {
    Child dead(Listening());
    ASSERT_EQ(dead.Line(), "ready");
    const pid_t deadPid = dead.pid();
    dead.Kill();
    ASSERT_EQ(MailboxesOf(deadPid), 1);

    const fs::path own = [&] {
        for (const auto& entry : fs::directory_iterator(Spool()))
            if (entry.path().filename().string().starts_with(std::to_string(getpid()) + "-"))
                return entry.path();
        return fs::path();
    }();
    ASSERT_FALSE(own.empty());
    ASSERT_TRUE(WriteFile(Spool() / "4000001-0123456789abcdef", "a regular file\n"));
    fs::create_directory(Spool() / "4000002-0123456789abcdef");
    fs::create_symlink(own, Spool() / "4000003-0123456789abcdef");  // never followed
    ASSERT_EQ(mkfifo((Spool() / "stray").c_str(), 0600), 0);        // not a mailbox name

    Child sender(
        [](int report) { Report(report, std::to_string(proc::BroadcastToApplications(0xC200, 0, 0))); });
    EXPECT_EQ(sender.Line(), "1");
    host::BroadcastMessage message{};
    ASSERT_TRUE(host::WaitForBroadcast(5000, &message));
    EXPECT_EQ(message.message, 0xC200u);
    EXPECT_FALSE(host::WaitForBroadcast(100, &message));  // one copy: the symlink was not followed
    EXPECT_EQ(MailboxesOf(deadPid), 0);
    EXPECT_EQ(ReadFile(Spool() / "4000001-0123456789abcdef"), "a regular file\n");
    for (const char* kept : {"4000002-0123456789abcdef", "4000003-0123456789abcdef", "stray"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(Spool() / kept))) << kept;

    // Bytes that are no record are skipped; the records after them arrive whole.
    const int fd = open(own.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const unsigned char garbage[] = {0x51, 0x56, 0x4D, 0x31, 1,  2,  3,  4,  5,  6,  7,
                                     8,    9,    10,   11,   12, 13, 14, 15, 16, 17, 18,
                                     19,   20,   21,   22,   23, 24, 25, 26, 27, 28, 29};
    ASSERT_EQ(write(fd, garbage, sizeof garbage), static_cast<ssize_t>(sizeof garbage));
    close(fd);
    Child next([](int) { proc::BroadcastToApplications(0xC201, 5, 6); });
    ASSERT_TRUE(host::WaitForBroadcast(5000, &message));
    EXPECT_EQ(Describe(message), "49665 5 6 " + std::to_string(next.pid()));
    EXPECT_FALSE(host::WaitForBroadcast(100, &message));

    // A spool that is no directory: nobody can listen, and a broadcast says it failed.
    host::StopListening();
    fs::remove_all(Spool());
    ASSERT_TRUE(WriteFile(Spool(), "garbage"));
    EXPECT_EQ(proc::BroadcastToApplications(0xC202, 0, 0), -1);
    std::string error;
    EXPECT_FALSE(host::ListenForBroadcasts(&error));
    EXPECT_NE(error.find("messages"), std::string::npos) << error;
}

// Senders broadcasting at once: each listener receives every message whole, each sender's in order.
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
        ASSERT_TRUE(host::WaitForBroadcast(5000, &message)) << got;
        EXPECT_EQ(static_cast<int>(message.wParam), next[message.message]++);
        EXPECT_EQ(message.lParam, -static_cast<intptr_t>(message.wParam));
    }
    EXPECT_EQ(next.size(), static_cast<size_t>(kSenders));
    EXPECT_FALSE(host::WaitForBroadcast(100, &message));
}

}  // namespace
}  // namespace qv
