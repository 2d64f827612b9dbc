// QvTray on the simulated host. It listens for broadcasts on its machine, shows an icon in the
// desktop's system tray when there is one, and ends when it receives the registered "TermQvTray"
// message. Without a desktop (no display, or no tray) it waits for that message without an icon.
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QStyle>
#include <QSystemTrayIcon>
#include <cstdlib>
#include <span>
#include <string>

#include "qv/host/broadcasts.h"
#include "qv/platform/process.h"
#include "qv/platform/program_entry.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/tray.h"

namespace {

// How long one wait for a message lasts before the next: the program waits until it is told to end.
constexpr uint32_t kWaitMs = 60000;

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// Takes the waiting messages; true when one of them asks the program to end.
bool TakeUntilTerm(uint32_t term) {
    qv::host::BroadcastMessage message{};
    while (qv::host::TakeBroadcast(&message)) {
        if (message.message == term) return true;
    }
    return false;
}

int RunWithoutTray(uint32_t term) {
    qv::host::BroadcastMessage message{};
    while (qv::host::BroadcastDescriptor() >= 0) {
        if (qv::host::WaitForBroadcast(kWaitMs, &message) && message.message == term) return 0;
    }
    return 1;
}

int RunWithTray(uint32_t term) {
    int argc = 1;
    char name[] = "QvTray";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return RunWithoutTray(term);
    QApplication::setQuitOnLastWindowClosed(false);
    QSystemTrayIcon icon(app.style()->standardIcon(QStyle::SP_ComputerIcon));
    icon.setToolTip(QString::fromStdU16String(std::u16string(qv::cfg::LoadString(qv::cfg::kStrTeamingPage))));
    icon.show();
    QSocketNotifier messages(qv::host::BroadcastDescriptor(), QSocketNotifier::Read);
    QObject::connect(&messages, &QSocketNotifier::activated, [&app, term] {
        if (TakeUntilTerm(term)) app.quit();
    });
    // A message that came while the tray was being set up is taken now.
    if (TakeUntilTerm(term)) return 0;
    return app.exec();
}

}  // namespace

int qv::ProgramMain(std::span<const std::u16string>) {
    const uint32_t term = proc::RegisterWindowMessage(cfg::kTermTrayMessageName);
    std::string error;
    if (term == 0 || !host::ListenForBroadcasts(&error)) return 1;
    const int status = HasDisplay() ? RunWithTray(term) : RunWithoutTray(term);
    host::StopListening();
    return status;
}
