// The tray program on a simulated machine: CreateTrayIcon starts the built QvTray once, other
// messages leave it running, StopTrayIcon with the registered "TermQvTray" message ends it.
#include "qv/teamcfg/tray.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "qv/platform/process.h"
#include "qv/teamlib/inventory.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using qv::testing::MachineOptions;
using qv::testing::TempMachine;

bool Eventually(const std::function<bool()>& done) {
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10); !done();) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The process id of the listener on the machine (its mailbox is "<pid>-..."); 0 when none listens.
pid_t Listener(const fs::path& machine) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(machine / "messages", error))
        return std::atoi(entry.path().filename().c_str());
    return 0;
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

        cfg::CreateTrayIcon();  // already running: no second copy
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(CountProcessesNamed(cfg::kTrayImageName, 5), 1);
        other.Select();
        EXPECT_EQ(cfg::IsQvTrayRunning(), 0);  // it runs on its own machine only
        machine.Select();
        cfg::StopTrayIcon(proc::RegisterWindowMessage(u"SomethingElse"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(cfg::IsQvTrayRunning(), 1);

        cfg::StopTrayIcon(proc::RegisterWindowMessage(u"termqvtray"));
        EXPECT_TRUE(Eventually([] { return cfg::IsQvTrayRunning() == 0; }));
        if (cfg::IsQvTrayRunning()) kill(tray, SIGKILL);
        EXPECT_EQ(Listener(machine.dir()), 0);  // it took its mailbox away
    }
    unsetenv("QT_QPA_PLATFORM");
}

}  // namespace
}  // namespace qv
