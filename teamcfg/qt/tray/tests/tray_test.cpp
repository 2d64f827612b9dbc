// The tray program on a simulated machine: CreateTrayIcon starts the built QvTray once, other
// messages leave it running, StopTrayIcon with the registered "TermQvTray" message ends it.
#include "qv/teamcfg/tray.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

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
using Clock = std::chrono::steady_clock;
using qv::testing::MachineOptions;
using qv::testing::TempMachine;

bool Eventually(const std::function<bool()>& done) {
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); Clock::now() < deadline;) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// The process id of the tray program listed on the selected machine; 0 when none is.
uint32_t TrayPid() {
    uint32_t ids[1024];
    uint32_t bytes = 0;
    if (!proc::EnumProcesses(ids, sizeof ids, &bytes)) return 0;
    for (uint32_t i = 0; i < bytes / 4; ++i) {
        char16_t image[260] = {};
        if (proc::GetProcessImageBaseName(ids[i], image, 260) && std::u16string(image) == cfg::kTrayImageName)
            return ids[i];
    }
    return 0;
}

// Whether pid has its mailbox in the machine's message spool, so that broadcasts reach it.
bool Listens(const fs::path& machine, uint32_t pid) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(machine / "messages", error)) {
        if (entry.path().filename().string().starts_with(std::to_string(pid) + "-")) return true;
    }
    return false;
}

TEST(TrayProgram, StartsOnceAndEndsOnTermQvTrayOnly) {
    setenv("QV_HOST_PROGRAMS", QV_BIN_DIR, 0);
    // Without a display it waits without an icon; under Qt's offscreen platform it runs Qt's event
    // loop, where there is no tray either.
    const struct {
        const char* what;
        const char* qtPlatform;
    } kCases[] = {{"no display", nullptr}, {"offscreen Qt", "offscreen"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        if (c.qtPlatform) {
            setenv("QT_QPA_PLATFORM", c.qtPlatform, 1);
        } else {
            unsetenv("QT_QPA_PLATFORM");
        }
        TempMachine other(MachineOptions::OnFirstUse());
        TempMachine machine(MachineOptions::OnFirstUse());
        EXPECT_EQ(cfg::IsQvTrayRunning(), 0);
        cfg::CreateTrayIcon();
        ASSERT_TRUE(Eventually([] { return cfg::IsQvTrayRunning() == 1; }));
        const uint32_t tray = TrayPid();
        ASSERT_NE(tray, 0u);
        ASSERT_TRUE(Eventually([&] { return Listens(machine.dir(), tray); }));

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
        if (cfg::IsQvTrayRunning()) kill(static_cast<pid_t>(tray), SIGKILL);
        EXPECT_FALSE(Listens(machine.dir(), tray));  // it took its mailbox away
    }
    unsetenv("QT_QPA_PLATFORM");
}

}  // namespace
}  // namespace qv
