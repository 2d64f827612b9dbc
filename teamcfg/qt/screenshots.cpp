// Writes the screenshots of the QvTeamCfg guide: runs the program's model in real windows on the
// machine QV_MACHINE names and saves each window once it has been painted, as the user would see it
// with the teaming page's first team checked: the teaming page, the wait dialog, every page of the
// team's property sheet and the Add Vlan dialog. The caption is drawn above each picture, because
// the X server the script runs (Xvfb) has no window manager to draw one.
//
//   qvteamcfg_screenshots <directory>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdio>

#include "qv/teamcfg/app.h"
#include "qv/teamcfg/qt/qt_dialog_view.h"
#include "qv/teamcfg/qt/qt_shell.h"
#include "qv/teamcfg/resources.h"

namespace {

using namespace qv::cfg;
using namespace qv::cfg::qt;

// The window's client area below a title bar with its icon and caption, in few colours.
QImage WithCaption(QWidget& window) {
    const QPixmap body = window.grab();
    constexpr int kBar = 24;
    QImage image(body.width() + 2, body.height() + kBar + 1, QImage::Format_RGB32);
    image.fill(QColor(0x2f, 0x4f, 0x7f));
    QPainter painter(&image);
    painter.drawPixmap(1, kBar, body);
    painter.drawPixmap(5, 4, window.windowIcon().pixmap(16, 16));
    QFont font = DialogFont();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(26, 0, image.width() - 30, kBar), Qt::AlignVCenter | Qt::AlignLeft,
                     window.windowTitle());
    painter.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

class Tour {
  public:
    Tour(QtShell& shell, QDir directory) : shell_(shell), directory_(std::move(directory)) {}

    void operator()(const ShownWindow& shown) {
        switch (shown.templateId) {
            case kDlgTeamingPage:
                TeamingPage(shown);
                break;
            case kDlgGeneralPage:
                PropertySheet(shown);
                break;
            case kDlgWait:
                Save(*shown.window, "wait-dialog");
                shown.pages.at(0)->EndDialog(0);
                break;
            case kDlgAddVlan:
                Save(*shown.window, "add-vlan");
                qobject_cast<QPushButton*>(shown.pages.at(0)->Control(kIdCancel))->click();
                break;
            default:  // a message box: kept, it tells what went wrong
                Save(*shown.window, QStringLiteral("message-%1").arg(++messages_));
                shown.window->done(0);
                break;
        }
    }

    int saved() const { return saved_; }

  private:
    // A DialogClient for the wait dialog shown on its own: the tour ends it.
    struct Idle : DialogClient {
        int OnInitDialog(DialogView&) override { return 1; }
    };

    void TeamingPage(const ShownWindow& shown) {
        QtDialogView& page = *shown.pages.at(0);
        Save(*shown.window, "teaming-page");
        Idle idle;
        shell_.RunModalDialog(kDlgWait, idle);
        // The user checks the first team (the view tells the page) and opens its properties.
        auto* teams = qobject_cast<QTableWidget*>(page.Control(kIdTeamedList));
        if (teams != nullptr && teams->rowCount() > 0) {
            teams->item(0, 0)->setCheckState(Qt::Checked);
            QApplication::processEvents();
            Save(*shown.window, "teaming-page-team-checked");
            qobject_cast<QPushButton*>(page.Control(kIdProperties))->click();
        } else {
            std::fprintf(stderr, "qvteamcfg_screenshots: the machine has no team\n");
        }
        shown.window->done(QDialog::Rejected);
    }

    void PropertySheet(const ShownWindow& shown) {
        for (int i = 0; i < shown.tabs->count(); ++i) {
            shown.tabs->setCurrentIndex(i);
            QApplication::processEvents();
            Save(*shown.window, QStringLiteral("sheet-%1").arg(shown.tabs->tabText(i).toLower()));
            QtDialogView& view = *shown.pages.at(static_cast<size_t>(i));
            if (view.templateId() == kDlgVlanPage)
                qobject_cast<QPushButton*>(view.Control(kIdAddVlan))->click();
        }
        shown.window->done(QDialog::Rejected);
    }

    void Save(QWidget& window, const QString& name) {
        const QString path = directory_.filePath(name + QStringLiteral(".png"));
        if (WithCaption(window).save(path)) {
            ++saved_;
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "qvteamcfg_screenshots: cannot write %s\n", qPrintable(path));
        }
    }

    QtShell& shell_;
    QDir directory_;
    int saved_ = 0;
    int messages_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 || !QDir(QString::fromLocal8Bit(argv[1])).exists()) {
        std::fprintf(stderr, "usage: qvteamcfg_screenshots <existing directory>\n");
        return 2;
    }
    QtShell shell;
    Tour tour(shell, QDir(QString::fromLocal8Bit(argv[1])));
    shell.SetObserver([&tour](const ShownWindow& shown) { tour(shown); });
    TeamCfgMain(shell);
    return tour.saved() > 0 ? 0 : 1;
}
