// The Qt shell of QvTeamCfg: the UI thread's dispatcher on the Qt event loop, message boxes,
// property sheets as modal tabbed dialogs, modal dialogs from the templates, the busy window and
// worker threads.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "qv/teamcfg/shell.h"

class QDialog;
class QTabWidget;
class QWidget;

namespace qv::cfg::qt {

class QtDialogView;

// Post queues the work on the Qt event loop of the thread that made the dispatcher; Send from
// another thread queues it and waits until the UI thread ran it (SendMessage, which waits as
// long as the UI thread takes), Send on the UI thread runs it at once.
class QtDispatcher final : public Dispatcher {
  public:
    QtDispatcher();
    void Post(std::function<void()> work) override;
    void Send(const std::function<void()>& work) override;

  private:
    QObject context_;
};

// A window the shell opened, as it is when it was first painted: a property sheet (its tabs and
// the pages made so far), a modal dialog or the busy window (one view, no tabs), or a message box
// (templateId 0, no view).
struct ShownWindow {
    QDialog* window;
    int templateId;  // the dialog's template; a sheet's first page's; 0 for a message box
    QTabWidget* tabs;
    std::vector<QtDialogView*> pages;
};

// The caption the window system shows for window: Qt shows the application's name in place of an
// empty title (the program gives Qt none, so that an untitled message box shows no caption).
QString ShownCaption(const QWidget& window);

class QtShell final : public Shell {
  public:
    QtShell();
    ~QtShell() override;

    Dispatcher& UiThread() override { return ui_; }
    int MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) override;
    bool RunPropertySheet(const SheetDescription& sheet) override;
    int RunModalDialog(int templateId, DialogClient& client) override;
    void ShowBusyWindow() override;
    void CloseBusyWindow() override;
    bool StartThread(std::function<void()> body) override;

    // Called on the UI thread once each window the shell opens has been painted for the first
    // time (the suites drive the windows from here; the program uses it to end after its first
    // paint). Runs inside the window's modal loop, so it may click, type and close.
    using Observer = std::function<void(const ShownWindow& shown)>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // The busy window while it is open.
    QDialog* busyWindow() const { return busy_; }

  private:
    void WatchFirstPaint(const ShownWindow& shown);

    QtDispatcher ui_;
    Observer observer_;
    QPointer<QDialog> busy_;
};

}  // namespace qv::cfg::qt
