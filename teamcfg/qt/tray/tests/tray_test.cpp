// The tray program on a simulated machine: CreateTrayIcon starts the built QvTray once, other
// messages leave it running, StopTrayIcon with the registered "TermQvTray" message ends it.
#include "qv/teamcfg/tray.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "qv/platform/process.h"
#include "qv/platform/utf.h"
#include "qv/teamlib/inventory.h"
#include "qv/testing/eventually.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using qv::testing::Eventually;
using qv::testing::MachineOptions;
using qv::testing::TempMachine;

// The mailbox of the listener on the machine ("messages/<pid>-..."); empty when none listens.
fs::path Mailbox(const fs::path& machine) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(machine / "messages", error)) return entry.path();
    return {};
}

// The process id of the listener on the machine; 0 when none listens.
pid_t Listener(const fs::path& machine) {
    return std::atoi(Mailbox(machine).filename().c_str());
}

// Whether the mailbox is still there and its listener has taken every message sent to it.
bool AllTaken(const fs::path& mailbox) {
    const int fd = open(mailbox.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int waiting = -1;
    const bool empty = ioctl(fd, FIONREAD, &waiting) == 0 && waiting == 0;
    close(fd);
    return empty;
}

// The built tray programs running for the machine, whether they have registered on it yet or not.
// A start returns once the program's image runs, so a copy that was started is counted at once.
int TrayCopies(const fs::path& machine) {
    const fs::path image = fs::canonical(fs::path(std::getenv("QV_HOST_PROGRAMS")) / "QvTray");
    const std::string variable = std::string(1, '\0') + "QV_MACHINE=" + fs::absolute(machine).string() + '\0';
    int copies = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::error_code error;
        if (fs::read_symlink(entry.path() / "exe", error) != image) continue;
        std::ifstream in(entry.path() / "environ");
        const std::string environment = '\0' + std::string(std::istreambuf_iterator<char>(in), {});
        copies += environment.find(variable) != std::string::npos ? 1 : 0;
    }
    return copies;
}

TEST(TrayProgram, StartsOnceAndEndsOnTermQvTrayOnly) {
    setenv("QV_HOST_PROGRAMS", QV_BIN_DIR, 0);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    // Without a display it waits without an icon; on Qt's offscreen platform it runs Qt's event
    // loop, where there is no tray either.
    for (const char* platform : {"", "offscreen"}) {
        SCOPED_TRACE(platform);
        setenv("QT_QPA_PLATFORM", platform, 1);
        TempMachine other(MachineOptions::OnFirstUse());
        TempMachine machine(MachineOptions::OnFirstUse());
        EXPECT_EQ(cfg::IsQvTrayRunning(), 0);
        cfg::CreateTrayIcon();
        ASSERT_TRUE(Eventually([] { return cfg::IsQvTrayRunning() == 1; }));
        ASSERT_TRUE(Eventually([&] { return Listener(machine.dir()) != 0; }));
        const pid_t tray = Listener(machine.dir());

        const fs::path mailbox = Mailbox(machine.dir());
        EXPECT_EQ(TrayCopies(machine.dir()), 1);

        cfg::CreateTrayIcon();  // already running: no second copy
        EXPECT_EQ(TrayCopies(machine.dir()), 1);
        EXPECT_EQ(CountProcessesNamed(cfg::kTrayImageName, 5), 1);
        other.Select();
        EXPECT_EQ(cfg::IsQvTrayRunning(), 0);  // it runs on its own machine only
        machine.Select();
        // Other messages leave it running: it takes each one and then the next, which it could not
        // do had it ended on the one before.
        for (const char16_t* name : {u"SomethingElse", u"AnythingElse"}) {
            cfg::StopTrayIcon(proc::RegisterWindowMessage(name));
            EXPECT_TRUE(Eventually([&] { return AllTaken(mailbox); })) << ToUtf8(name);
        }
        EXPECT_EQ(cfg::IsQvTrayRunning(), 1);
        EXPECT_EQ(Listener(machine.dir()), tray);

        cfg::StopTrayIcon(proc::RegisterWindowMessage(u"termqvtray"));
        EXPECT_TRUE(Eventually([] { return cfg::IsQvTrayRunning() == 0; }));
        if (cfg::IsQvTrayRunning()) kill(tray, SIGKILL);
        EXPECT_EQ(Listener(machine.dir()), 0);  // it took its mailbox away
    }
    unsetenv("QT_QPA_PLATFORM");
}

}  // namespace
}  // namespace qv
