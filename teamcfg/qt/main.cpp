// QvTeamCfg on the host: the teaming GUI as Qt widgets over the simulated Windows host. The
// program entry registers it as "QvTeamCfg.exe" on its machine, so the single-instance check sees
// a second start.
//
// QV_TEAMCFG_EXIT_AFTER_PAINT=1 closes the first window once it has been painted and prints its
// caption (and a message box's text) on standard output: the start-up benchmark times a whole run
// to the first painted page with it, and the program suite reads what the program showed.
#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QMessageBox>
#include <cstdio>
#include <vector>

#include "qv/platform/program_entry.h"
#include "qv/teamcfg/app.h"
#include "qv/teamcfg/qt/qt_shell.h"

int qv::ProgramMain(std::span<const std::u16string> args) {
    // QApplication takes Qt's own options (-platform, -style, ...) from the command line.
    std::vector<QByteArray> utf8{QByteArrayLiteral("QvTeamCfg")};
    for (const std::u16string& arg : args) utf8.push_back(QString::fromStdU16String(arg).toUtf8());
    std::vector<char*> argv;
    for (QByteArray& arg : utf8) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(utf8.size());
    QApplication app(argc, argv.data());
    QApplication::setApplicationName(QStringLiteral("QvTeamCfg"));

    qv::cfg::qt::QtShell shell;
    if (qEnvironmentVariableIntValue("QV_TEAMCFG_EXIT_AFTER_PAINT") == 1)
        shell.SetObserver([](const qv::cfg::qt::ShownWindow& shown) {
            QString line = shown.window->windowTitle();
            if (const auto* box = qobject_cast<QMessageBox*>(shown.window))
                line += QStringLiteral(": ") + box->text();
            std::printf("%s\n", qPrintable(line));
            std::fflush(stdout);
            shown.window->done(QDialog::Rejected);
        });
    return qv::cfg::TeamCfgMain(shell);
}
