// QvTeamCfg on the host: the teaming GUI as Qt widgets over the simulated Windows host. The
// program entry registers it as "QvTeamCfg.exe" on its machine, so the single-instance check sees
// a second start.
//
// QV_TEAMCFG_EXIT_AFTER_PAINT=1 closes the first window once it has been painted and prints its
// caption as the window system shows it (and a message box's text) on standard output: the
// start-up benchmark times a whole run to the first painted page with it, and the program suite
// reads what the program showed.
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
    // QApplication takes Qt's own options (-platform, -style, ...) from the command line. The
    // program gives Qt no name of its own: Qt shows the application's name as the caption of a
    // window without a title, and the message boxes without a title must show none, as on Windows.
    std::vector<QByteArray> utf8{QByteArray()};
    for (const std::u16string& arg : args) utf8.push_back(QString::fromStdU16String(arg).toUtf8());
    std::vector<char*> argv;
    for (QByteArray& arg : utf8) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(utf8.size());
    QApplication app(argc, argv.data());

    qv::cfg::qt::QtShell shell;
    if (qEnvironmentVariableIntValue("QV_TEAMCFG_EXIT_AFTER_PAINT") == 1)
        shell.SetObserver([](const qv::cfg::qt::ShownWindow& shown) {
            QString line = qv::cfg::qt::ShownCaption(*shown.window);
            if (const auto* box = qobject_cast<QMessageBox*>(shown.window))
                line += QStringLiteral(": ") + box->text();
            std::printf("%s\n", qPrintable(line));
            std::fflush(stdout);
            shown.window->done(QDialog::Rejected);
        });
    return qv::cfg::TeamCfgMain(shell);
}
