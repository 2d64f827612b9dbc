#include "qv/teamcfg/qt/qt_shell.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "qv/teamcfg/qt/qt_dialog_view.h"
#include "qv/teamcfg/qt/templates.h"
#include "qv/teamcfg/resources.h"

namespace qv::cfg::qt {
namespace {

// A modal dialog made from a template. Escape and the close box mean IDCANCEL, which the dialog's
// procedure handles when the dialog has a Cancel button; a dialog without one (the wait dialog)
// cannot be closed by the user.
class TemplateDialog final : public QDialog {
  public:
    TemplateDialog(const DialogTemplate& dialog, DialogClient* client, QWidget* parent)
        : QDialog(parent), view_(new QtDialogView(dialog, client, this)) {
        setWindowTitle(ToQString(dialog.caption));
        setWindowIcon(ResourceIcon(kIconSheet));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        connect(view_, &QtDialogView::endRequested, this, &QDialog::done);
    }
    QtDialogView& view() { return *view_; }

    void reject() override {
        if (view_->HasControl(kIdCancel) && view_->client() != nullptr)
            view_->client()->OnCommand(*view_, kIdCancel, kBnClicked);
    }

  private:
    QtDialogView* view_;
};

// Runs a callback once, after the first paint of the widget it watches.
class FirstPaintWatch final : public QObject {
  public:
    FirstPaintWatch(QWidget* window, std::function<void()> then) : QObject(window), then_(std::move(then)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            watched->removeEventFilter(this);
            // After the paint, in the window's own loop: the callback may open, click and close.
            QTimer::singleShot(0, watched, std::move(then_));
            then_ = nullptr;
        }
        return false;
    }

  private:
    std::function<void()> then_;
};

QMessageBox::Icon IconOfStyle(unsigned style) {
    switch (style & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case kMbIconWarning:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QString ShownCaption(const QWidget& window) {
    const QString title = window.windowTitle();
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

QtDispatcher::QtDispatcher() = default;

void QtDispatcher::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

void QtDispatcher::Send(const std::function<void()>& work) {
    if (QThread::currentThread() == context_.thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(
        &context_, [&work] { work(); }, Qt::BlockingQueuedConnection);
}

QtShell::QtShell() = default;

QtShell::~QtShell() {
    CloseBusyWindow();
}

void QtShell::WatchFirstPaint(const ShownWindow& shown) {
    if (!observer_) return;
    new FirstPaintWatch(shown.window, [observer = observer_, shown] { observer(shown); });
}

int QtShell::MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) {
    // Only MB_OK and MB_OKCANCEL are used by the program; other button sets show OK.
    const bool okCancel = (style & 0xF) == kMbOkCancel;
    QMessageBox box(IconOfStyle(style), ToQString(title), ToDisplayLines(text),
                    okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    QApplication::activeModalWidget());
    box.setWindowIcon(ResourceIcon(kIconSheet));
    WatchFirstPaint({&box, 0, nullptr, {}});
    return box.exec() == QMessageBox::Ok ? kIdOk : kIdCancel;
}

bool QtShell::RunPropertySheet(const SheetDescription& sheet) {
    std::vector<const DialogTemplate*> templates;
    for (const SheetPage& page : sheet.pages) {
        const DialogTemplate* dialog = FindTemplate(page.templateId);
        if (dialog == nullptr || page.client == nullptr) return false;
        templates.push_back(dialog);
    }
    if (templates.empty()) return false;

    QDialog window(sheet.ownedByPage ? QApplication::activeModalWidget() : nullptr);
    window.setWindowTitle(ToQString(sheet.caption));
    window.setWindowIcon(ResourceIcon(sheet.iconId));
    auto* layout = new QVBoxLayout(&window);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* tabs = new QTabWidget(&window);
    layout->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &window);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);

    std::vector<QtDialogView*> pages;
    for (size_t i = 0; i < templates.size(); ++i) {
        pages.push_back(new QtDialogView(*templates[i], sheet.pages[i].client));
        tabs->addTab(pages.back(), ToQString(sheet.pages[i].title));
    }
    // A page's dialog procedure gets WM_INITDIALOG when the page is first shown, then
    // PSN_SETACTIVE each time it becomes the current page.
    std::vector<bool> made(pages.size(), false);
    const auto activate = [&](int index) {
        if (index < 0 || static_cast<size_t>(index) >= pages.size()) return;
        const auto i = static_cast<size_t>(index);
        if (!made[i]) {
            made[i] = true;
            sheet.pages[i].client->OnInitDialog(*pages[i]);
        }
        sheet.pages[i].client->OnSetActive(*pages[i]);
    };
    activate(0);
    QObject::connect(tabs, &QTabWidget::currentChanged, &window, activate);

    WatchFirstPaint({&window, sheet.pages[0].templateId, tabs, pages});
    window.exec();
    QObject::disconnect(tabs, nullptr, &window, nullptr);
    for (size_t i = 0; i < pages.size(); ++i)
        if (made[i]) sheet.pages[i].client->OnDestroy();
    return true;
}

int QtShell::RunModalDialog(int templateId, DialogClient& client) {
    const DialogTemplate* dialog = FindTemplate(templateId);
    if (dialog == nullptr) return -1;
    TemplateDialog window(*dialog, &client, QApplication::activeModalWidget());
    if (templateId == kDlgWait)  // a caption without a close box
        window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    client.OnInitDialog(window.view());
    // A dialog its procedure ended while it was being made does not open.
    if (!window.view().ended()) {
        WatchFirstPaint({&window, templateId, nullptr, {&window.view()}});
        window.exec();
    }
    client.OnDestroy();
    return window.view().result();
}

void QtShell::ShowBusyWindow() {
    if (busy_ != nullptr) return;
    const DialogTemplate* dialog = FindTemplate(kDlgWait);
    busy_ = new TemplateDialog(*dialog, nullptr, QApplication::activeModalWidget());
    busy_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    busy_->show();
    // The caller works on the UI thread until it closes the window: paint it now.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    busy_->repaint();
}

void QtShell::CloseBusyWindow() {
    delete busy_.data();
}

bool QtShell::StartThread(std::function<void()> body) {
    QThread* thread = QThread::create(std::move(body));
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    if (thread->isRunning() || thread->isFinished()) return true;
    delete thread;
    return false;
}

}  // namespace qv::cfg::qt
