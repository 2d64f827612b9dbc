// The Qt view's contract with the model: controls found by id, model changes silent and user
// actions reported, texts as Windows keeps them, the dispatcher, message boxes, modal dialogs,
// property sheets and the busy window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "qt_app.h"
#include "qv/teamcfg/dispatched_view.h"
#include "qv/teamcfg/qt/qt_dialog_view.h"
#include "qv/teamcfg/qt/qt_shell.h"
#include "qv/teamcfg/qt/templates.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/testing/fake_view.h"

namespace qv::cfg::qt {
namespace {

using testing::TestApp;
using testing::U16;

// Records what the view tells its procedure; onCommand decides what a command does.
struct Recorder : DialogClient {
    std::vector<std::pair<char, int>> events;  // I init, C command, L list click, A active, D destroy
    std::function<void(DialogView&, int)> onCommand;
    std::function<void(DialogView&)> onInit;
    int OnInitDialog(DialogView& view) override {
        events.push_back({'I', 0});
        if (onInit) onInit(view);
        return 1;
    }
    void OnCommand(DialogView& view, int id, int) override {
        events.push_back({'C', id});
        if (onCommand) onCommand(view, id);
    }
    void OnListClick(DialogView&, int id) override { events.push_back({'L', id}); }
    void OnSetActive(DialogView&) override { events.push_back({'A', 0}); }
    void OnDestroy() override { events.push_back({'D', 0}); }
};

using Events = std::vector<std::pair<char, int>>;

class QtViewTest : public ::testing::Test {
  protected:
    QtViewTest() { TestApp(); }
    std::unique_ptr<QtDialogView> Make(int templateId, DialogClient* client) {
        auto view = std::make_unique<QtDialogView>(*FindTemplate(templateId), client);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return view;
    }
};

TEST_F(QtViewTest, TemplatesHoldTheModelsControlsAndTheViewFindsThem) {
    const int ids[] = {kDlgTeamingPage, kDlgGeneralPage, kDlgStatisticsPage, kDlgTeamPropertiesPage,
                       kDlgWait,        kDlgVlanPage,    kDlgAddVlan};
    ASSERT_EQ(AllTemplates().size(), std::size(ids));
    for (const int id : ids) {
        SCOPED_TRACE(id);
        const DialogTemplate* dialog = FindTemplate(id);
        ASSERT_NE(dialog, nullptr);
        std::vector<int> controls;
        for (const ControlTemplate& c : dialog->controls) {
            EXPECT_LE(c.x + c.width, dialog->width) << c.id;
            EXPECT_LE(c.y + c.height, dialog->height) << c.id;
            if (c.id != kNoId && c.kind != ControlKind::kIcon) controls.push_back(c.id);
        }
        std::vector<int> expected = cfg::testing::TemplateControls(id);
        std::sort(controls.begin(), controls.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(controls, expected);
        EXPECT_EQ(std::adjacent_find(controls.begin(), controls.end()), controls.end());
        // The view finds each of them; a control that is not there answers as an empty one.
        QtDialogView view(*dialog, nullptr);
        for (const int control : expected) EXPECT_TRUE(view.HasControl(control)) << control;
        constexpr int kMissing = 4242;
        view.SetText(kMissing, u"x");
        view.InsertItem(kMissing, 0, u"x");
        EXPECT_FALSE(view.HasControl(kMissing) || view.IsControlEnabled(kMissing) ||
                     view.IsChecked(kMissing));
        EXPECT_EQ(view.GetText(kMissing, 10), u"");
        EXPECT_EQ(view.GetItemCount(kMissing), 0);
    }
    EXPECT_EQ(FindTemplate(1105), nullptr);
}

TEST_F(QtViewTest, ModelChangesRaiseNoNotification) {
    Recorder page, team;
    auto view = Make(kDlgTeamingPage, &page);
    view->SetChecked(kIdActiveBackup, true);
    view->SetText(kIdTeamName, u"Team0");
    view->SetText(kIdStatus, u"Team Created.");
    view->EnableControl(kIdCreateTeam, false);
    view->SetListViewStyle(kIdUnassignedList, {.checkBoxes = true});
    view->InsertColumn(kIdUnassignedList, 0, u"Unassigned Adapters", 275);
    view->InsertItem(kIdUnassignedList, 0, u"Local Area Connection");
    view->InsertItem(kIdUnassignedList, 1, u"Local Area Connection 2");
    view->SetItemChecked(kIdUnassignedList, 1, true);
    view->SetItemText(kIdUnassignedList, 0, 0, u"Local Area Connection 3");
    view->DeleteItem(kIdUnassignedList, 0);
    auto properties = Make(kDlgTeamPropertiesPage, &team);
    properties->AddString(kIdTeamModeList, u"Active Backup");
    properties->SetCurrentSelection(kIdTeamModeList, 0);
    QApplication::processEvents();
    EXPECT_EQ(page.events, Events{});
    EXPECT_EQ(team.events, Events{});
    EXPECT_TRUE(view->IsChecked(kIdActiveBackup));
    EXPECT_FALSE(view->IsControlEnabled(kIdCreateTeam));
    EXPECT_EQ(view->GetItemCount(kIdUnassignedList), 1);
    EXPECT_TRUE(view->IsItemChecked(kIdUnassignedList, 0));
    EXPECT_EQ(view->GetText(kIdTeamName, 260), u"Team0");
    EXPECT_EQ(properties->GetText(kIdTeamModeList, 100), u"Active Backup");
}

TEST_F(QtViewTest, UserActionsReachTheClientOnce) {
    Recorder page;
    auto view = Make(kDlgTeamingPage, &page);
    view->SetListViewStyle(kIdUnassignedList, {.checkBoxes = true});
    view->InsertColumn(kIdUnassignedList, 0, u"Unassigned Adapters", 275);
    view->InsertItem(kIdUnassignedList, 0, u"Local Area Connection");
    view->InsertItem(kIdUnassignedList, 1, u"Local Area Connection 2");
    view->EnableControl(kIdMoveUp, false);
    auto* list = qobject_cast<QTableWidget*>(view->Control(kIdUnassignedList));

    QTest::mouseClick(view->Control(kIdCreateTeam), Qt::LeftButton);
    QTest::mouseClick(view->Control(kIdActiveBackup), Qt::LeftButton);
    QTest::mouseClick(view->Control(kIdMoveUp), Qt::LeftButton);  // disabled: nothing
    EXPECT_EQ(page.events, (Events{{'C', kIdCreateTeam}, {'C', kIdActiveBackup}}));
    EXPECT_TRUE(view->IsChecked(kIdActiveBackup));

    // The space bar on a row toggles its check box; a click on the row's text only clicks.
    page.events.clear();
    list->setFocus();
    list->setCurrentCell(1, 0);
    QTest::keyClick(list, Qt::Key_Space);
    const QRect row0 = list->visualItemRect(list->item(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row0.center() + QPoint(40, 0));
    EXPECT_EQ(page.events, (Events{{'L', kIdUnassignedList}, {'L', kIdUnassignedList}}));
    EXPECT_FALSE(view->IsItemChecked(kIdUnassignedList, 0));
    EXPECT_TRUE(view->IsItemChecked(kIdUnassignedList, 1));

    // A click on the check box toggles it and is one click.
    page.events.clear();
    const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(row0.left() + margin + indicator / 2, row0.center().y()));
    EXPECT_EQ(page.events, (Events{{'L', kIdUnassignedList}}));
    EXPECT_TRUE(view->IsItemChecked(kIdUnassignedList, 0));
}

// A list view is one tab stop: Tab and Shift+Tab move the focus to the neighbouring control and
// leave the current row as it was; they never walk the rows.
TEST_F(QtViewTest, TabLeavesAListView) {
    Recorder page;
    auto view = Make(kDlgTeamingPage, &page);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const struct {
        int list;
        Qt::Key key;
        int focused;  // the control that has the focus afterwards
    } cases[] = {
        {kIdUnassignedList, Qt::Key_Tab, kIdMoveUp},
        {kIdUnassignedList, Qt::Key_Backtab, kIdEnableTray},
        {kIdTeamedList, Qt::Key_Tab, kIdRemove},
        {kIdTeamedList, Qt::Key_Backtab, kIdProperties},
    };
    for (const int id : {kIdUnassignedList, kIdTeamedList}) {
        view->InsertColumn(id, 0, u"Adapters", 275);
        for (int row = 0; row < 3; ++row) view->InsertItem(id, row, u"Local Area Connection");
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.list) + " " + std::to_string(c.key));
        auto* list = qobject_cast<QTableWidget*>(view->Control(c.list));
        list->setFocus();
        list->setCurrentCell(2, 0);
        ASSERT_EQ(QApplication::focusWidget(), list);
        QTest::keyClick(list, c.key);
        EXPECT_EQ(QApplication::focusWidget(), view->Control(c.focused));
        EXPECT_EQ(list->currentRow(), 2);
    }
    EXPECT_EQ(page.events, Events{});
}

TEST_F(QtViewTest, TextsKeepWindowsLineBreaksAndTheCapacity) {
    QtDialogView view(*FindTemplate(kDlgTeamingPage), nullptr);
    const std::u16string help =
        u"Select two NICs from 'Unassigned Adapters' list  \r\nchoose a 'Teaming Mode'";
    view.SetText(kIdStatus, help);
    view.SetText(kIdTeamName, u"Team0");
    struct Case {
        int id;
        int capacity;
        std::u16string text;
    };
    const Case cases[] = {
        {kIdStatus, 260, help}, {kIdStatus, 52, help.substr(0, 51)},  {kIdTeamName, 3, u"Te"},
        {kIdTeamName, 0, u""},  {kIdCreateTeam, 260, u"Create Team"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(view.GetText(c.id, c.capacity), c.text) << c.id << " " << c.capacity;
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(view.Control(kIdStatus))->toPlainText().count('\n'), 1);
}

TEST_F(QtViewTest, ListViewsMadeAtRunTime) {
    QtDialogView view(*FindTemplate(kDlgGeneralPage), nullptr);
    ASSERT_TRUE(view.CreateListView(kIdGeneralList, {14, 15, 350, 295}, u"General"));
    EXPECT_EQ(view.Control(kIdGeneralList)->geometry(), QRect(14, 15, 350, 295));
    view.InsertItem(kIdGeneralList, 0, u"MTU");  // before any column: the row keeps its text
    view.InsertColumn(kIdGeneralList, 1, u"Value", 250);
    view.InsertItem(kIdGeneralList, 7, u"Adapter Name");  // past the end: appended
    view.SetItemText(kIdGeneralList, 1, 1, u"Team0");
    view.SetItemText(kIdGeneralList, 1, 2, u"no such column");
    auto* list = qobject_cast<QTableWidget*>(view.Control(kIdGeneralList));
    EXPECT_EQ(U16(list->item(0, 0)->text()), u"MTU");
    EXPECT_EQ(U16(list->item(1, 1)->text()), u"Team0");
    EXPECT_EQ(list->columnCount(), 2);
    view.DestroyControl(kIdGeneralList);
    EXPECT_FALSE(view.HasControl(kIdGeneralList));
    ASSERT_TRUE(view.CreateListView(kIdGeneralList, {14, 15, 350, 295}, u"General"));
    EXPECT_EQ(view.GetItemCount(kIdGeneralList), 0);
}

TEST_F(QtViewTest, DispatcherRunsWorkOnTheUiThreadInOrder) {
    QtDispatcher ui;
    QtDialogView view(*FindTemplate(kDlgTeamingPage), nullptr);
    std::vector<int> order;
    ui.Post([&] { order.push_back(1); });
    ui.Send([&] { order.push_back(0); });  // on the UI thread: at once
    ui.Post([&] { order.push_back(2); });
    EXPECT_EQ(order, std::vector<int>{0});

    // A worker reaches the view through the dispatcher; every access runs on the UI thread.
    std::atomic<bool> done = false;
    QThread* ranOn = nullptr;
    std::u16string readBack;
    std::thread worker([&] {
        DispatchedView page(view, ui);
        page.SetText(kIdStatus, u"Team Created.");
        readBack = page.GetText(kIdStatus, 260);
        ui.Send([&] { ranOn = QThread::currentThread(); });
        done = true;
    });
    // The worker needs the UI thread's queue running until it is done; the deadline is a hang guard.
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         !done && std::chrono::steady_clock::now() < deadline;)
        QTest::qWait(10);
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(ranOn, QApplication::instance()->thread());
    EXPECT_EQ(readBack, u"Team Created.");
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST_F(QtViewTest, MessageBoxesShowTextTitleIconAndButtons) {
    struct Case {
        std::u16string text;
        std::u16string title;
        unsigned style;
        QMessageBox::StandardButton press;  // NoButton: the Escape key
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        int answer;
    };
    const Case cases[] = {
        {u"Another Instance of the app is already running", u"", kMbOk, QMessageBox::Ok, QMessageBox::NoIcon,
         QMessageBox::Ok, kIdOk},
        {u"The following entries will be removed:-\r\nVoice: 100\r\n", u"Warning",
         kMbOkCancel | kMbIconWarning, QMessageBox::Cancel, QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, kIdCancel},
        {u"Vlan ID should be in 1-4095 range", u"Error", kMbIconWarning, QMessageBox::NoButton,
         QMessageBox::Warning, QMessageBox::Ok, kIdOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromStdU16String(c.text).toStdString());
        QtShell shell;
        int shown = 0;
        shell.SetObserver([&](const ShownWindow& window) {
            auto* box = qobject_cast<QMessageBox*>(window.window);
            ASSERT_NE(box, nullptr);
            ++shown;
            EXPECT_EQ(window.templateId, 0);
            EXPECT_EQ(U16(box->text()),
                      QString::fromStdU16String(c.text).replace("\r\n", "\n").toStdU16String());
            EXPECT_EQ(U16(box->windowTitle()), c.title);
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            if (c.press == QMessageBox::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                box->button(c.press)->click();
            }
        });
        EXPECT_EQ(shell.MessageBox(c.text, c.title, c.style), c.answer);
        EXPECT_EQ(shown, 1);
    }
}

TEST_F(QtViewTest, ModalDialogsEndByTheirProcedure) {
    QtShell shell;
    Recorder addVlan;
    addVlan.onInit = [](DialogView& view) { view.SetText(kIdVlanName, u"Vlan #"); };
    addVlan.onCommand = [](DialogView& view, int id) {
        if (id == kIdOk || id == kIdCancel) view.EndDialog(id);
    };
    // OK after typing an id into the digits-only box; then Escape, which is Cancel.
    std::u16string typed;
    shell.SetObserver([&](const ShownWindow& shown) {
        EXPECT_EQ(U16(shown.window->windowTitle()), u"Add Vlan");
        QtDialogView& view = *shown.pages.at(0);
        QTest::keyClicks(view.Control(kIdVlanId), "1a00");
        typed = view.GetText(kIdVlanId, 30);
        qobject_cast<QPushButton*>(view.Control(kIdOk))->click();
    });
    EXPECT_EQ(shell.RunModalDialog(kDlgAddVlan, addVlan), kIdOk);
    EXPECT_EQ(typed, u"100");
    shell.SetObserver([&](const ShownWindow& shown) { QTest::keyClick(shown.window, Qt::Key_Escape); });
    EXPECT_EQ(shell.RunModalDialog(kDlgAddVlan, addVlan), kIdCancel);
    EXPECT_EQ(addVlan.events.back(), (std::pair<char, int>{'D', 0}));

    // The wait dialog ignores Escape and has no close box; its worker ends it through the UI thread.
    Recorder wait;
    QThread* workerThread = nullptr;
    wait.onInit = [&](DialogView& view) {
        EXPECT_TRUE(shell.StartThread([&] {
            workerThread = QThread::currentThread();
            QThread::msleep(50);
            shell.UiThread().Post([&view] { view.EndDialog(0); });
        }));
    };
    bool closable = true;
    shell.SetObserver([&](const ShownWindow& shown) {
        EXPECT_EQ(U16(shown.window->windowTitle()), u"Quorvex Configuration Utility");
        closable = shown.window->windowFlags().testFlag(Qt::WindowCloseButtonHint);
        QTest::keyClick(shown.window, Qt::Key_Escape);
    });
    EXPECT_EQ(shell.RunModalDialog(kDlgWait, wait), 0);
    EXPECT_FALSE(closable);
    EXPECT_NE(workerThread, nullptr);
    EXPECT_NE(workerThread, QApplication::instance()->thread());

    // Ended while it was being made: it never opens. An unknown template cannot be made.
    Recorder early;
    early.onInit = [](DialogView& view) { view.EndDialog(7); };
    int opened = 0;
    shell.SetObserver([&](const ShownWindow&) { ++opened; });
    EXPECT_EQ(shell.RunModalDialog(kDlgAddVlan, early), 7);
    EXPECT_EQ(shell.RunModalDialog(999, early), -1);
    EXPECT_EQ(opened, 0);

    // The busy window is up and painted before the caller goes on with its work.
    shell.ShowBusyWindow();
    ASSERT_NE(shell.busyWindow(), nullptr);
    EXPECT_TRUE(shell.busyWindow()->isVisible());
    EXPECT_EQ(U16(shell.busyWindow()->windowTitle()), u"Quorvex Configuration Utility");
    shell.CloseBusyWindow();
    EXPECT_EQ(shell.busyWindow(), nullptr);
}

TEST_F(QtViewTest, PropertySheetMakesPagesWhenFirstShown) {
    QtShell shell;
    Recorder general, statistics, vlan;
    const SheetDescription sheet{u"Properties",
                          kIconSheet,
                          false,
                          {{kDlgGeneralPage, u"General", &general},
                           {kDlgStatisticsPage, u"Statistics", &statistics},
                           {kDlgVlanPage, u"VLAN", &vlan}}};
    shell.SetObserver([&](const ShownWindow& shown) {
        EXPECT_EQ(shown.templateId, kDlgGeneralPage);
        EXPECT_EQ(U16(shown.window->windowTitle()), u"Properties");
        ASSERT_EQ(shown.tabs->count(), 3);
        EXPECT_EQ(U16(shown.tabs->tabText(1)), u"Statistics");
        EXPECT_EQ(shown.tabs->currentIndex(), 0);
        auto* buttons = shown.window->findChild<QDialogButtonBox*>();
        EXPECT_EQ(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        EXPECT_EQ(general.events, (Events{{'I', 0}, {'A', 0}}));
        EXPECT_EQ(vlan.events, Events{});
        shown.tabs->setCurrentIndex(2);
        shown.tabs->setCurrentIndex(0);
        EXPECT_EQ(vlan.events, (Events{{'I', 0}, {'A', 0}}));
        EXPECT_TRUE(shown.pages.at(2)->HasControl(kIdAddVlan));
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(shell.RunPropertySheet(sheet));
    EXPECT_EQ(general.events, (Events{{'I', 0}, {'A', 0}, {'A', 0}, {'D', 0}}));
    EXPECT_EQ(statistics.events, Events{});
    EXPECT_EQ(vlan.events, (Events{{'I', 0}, {'A', 0}, {'D', 0}}));
    EXPECT_FALSE(shell.RunPropertySheet({u"Empty", kIconSheet, false, {}}));
}

}  // namespace
}  // namespace qv::cfg::qt
