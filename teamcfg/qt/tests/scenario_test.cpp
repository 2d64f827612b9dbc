// QvTeamCfg end to end in Qt windows on a simulated machine: the user checks two adapters, picks a
// mode and creates a team; the team appears in the lower list; its property sheet opens, and a VLAN
// is added on its VLAN page and removed again.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "qt_app.h"
#include "qv/sim/clock.h"
#include "qv/teamcfg/app.h"
#include "qv/teamcfg/qt/qt_dialog_view.h"
#include "qv/teamcfg/qt/qt_shell.h"
#include "qv/teamcfg/resources.h"
#include "qv/testing/temp_machine.h"

namespace qv::cfg::qt {
namespace {

using testing::TestApp;
using testing::U16;

QTableWidget* Table(QtDialogView& view, int id) {
    return qobject_cast<QTableWidget*>(view.Control(id));
}

std::u16string Cell(QtDialogView& view, int id, int row, int column) {
    const QTableWidgetItem* item = Table(view, id)->item(row, column);
    return item == nullptr ? u"" : U16(item->text());
}

// The user checks a row's check box with the space bar.
void ToggleRow(QtDialogView& view, int id, int row) {
    QTableWidget* list = Table(view, id);
    list->setFocus();
    list->setCurrentCell(row, 0);
    QTest::keyClick(list, Qt::Key_Space);
}

void Click(QtDialogView& view, int id) {
    QTest::mouseClick(view.Control(id), Qt::LeftButton);
}

void PressOk(const ShownWindow& shown) {
    shown.window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

class QtScenarioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(machine_.ok()) << machine_.error();
        sim::UseVirtualClock(true);
        shell_.SetObserver([this](const ShownWindow& shown) { Act(shown); });
        // A window that nobody closes would hang the suite: everything is closed after a minute.
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            ADD_FAILURE() << "a window stayed open";
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                    dialog->done(0);
        });
        watchdog_.start(60000);
    }
    void TearDown() override { sim::UseVirtualClock(false); }

    void Act(const ShownWindow& shown) {
        switch (shown.templateId) {
            case kDlgTeamingPage:
                TeamingPage(shown);
                break;
            case kDlgGeneralPage:
                PropertySheet(shown);
                break;
            case kDlgAddVlan:
                AddVlan(*shown.pages.at(0));
                break;
            case kDlgWait:
                ++waitDialogs_;  // the worker ends it
                break;
            default:
                messages_.push_back(U16(qobject_cast<QMessageBox*>(shown.window)->text()));
                qobject_cast<QMessageBox*>(shown.window)->button(QMessageBox::Ok)->click();
                break;
        }
    }

    void TeamingPage(const ShownWindow& shown) {
        QtDialogView& page = *shown.pages.at(0);
        const int adapters = Table(page, kIdUnassignedList)->rowCount();
        ASSERT_GE(adapters, 2);
        EXPECT_EQ(Table(page, kIdTeamedList)->rowCount(), 0);
        ToggleRow(page, kIdUnassignedList, 0);
        ToggleRow(page, kIdUnassignedList, 1);
        EXPECT_TRUE(page.IsControlEnabled(kIdCreateTeam));
        Click(page, kIdActiveBackup);
        EXPECT_EQ(page.GetText(kIdTeamName, 260), u"Team0");
        Click(page, kIdCreateTeam);  // returns once the wait dialog has ended

        EXPECT_EQ(waitDialogs_, 1);
        EXPECT_EQ(page.GetText(kIdStatus, 1000), u"Team Created.");
        EXPECT_EQ(Table(page, kIdUnassignedList)->rowCount(), adapters - 2);
        ASSERT_EQ(Table(page, kIdTeamedList)->rowCount(), 1);
        EXPECT_EQ(Cell(page, kIdTeamedList, 0, 0), u"Team0");

        ToggleRow(page, kIdTeamedList, 0);
        EXPECT_TRUE(page.IsChecked(kIdActiveBackup));
        Click(page, kIdProperties);
        EXPECT_TRUE(sheetShown_);
        PressOk(shown);
    }

    void PropertySheet(const ShownWindow& shown) {
        sheetShown_ = true;
        std::vector<std::u16string> titles;
        for (int i = 0; i < shown.tabs->count(); ++i) titles.push_back(U16(shown.tabs->tabText(i)));
        EXPECT_EQ(titles, (std::vector<std::u16string>{u"General", u"Statistics", u"VLAN", u"Properties"}));
        QtDialogView& general = *shown.pages.at(0);
        EXPECT_EQ(Cell(general, kIdGeneralList, 0, 0), u"Adapter Name");
        EXPECT_EQ(Cell(general, kIdGeneralList, 0, 1), u"Team0");

        shown.tabs->setCurrentIndex(2);
        QtDialogView& vlans = *shown.pages.at(2);
        Click(vlans, kIdAddVlan);
        ASSERT_EQ(Table(vlans, kIdVlanList)->rowCount(), 1);
        EXPECT_EQ(Cell(vlans, kIdVlanList, 0, 0), u"Voice");
        EXPECT_EQ(Cell(vlans, kIdVlanList, 0, 1), u"100");
        EXPECT_EQ(shell_.busyWindow(), nullptr);

        ToggleRow(vlans, kIdVlanList, 0);
        Click(vlans, kIdRemoveVlan);
        EXPECT_EQ(messages_,
                  std::vector<std::u16string>{u"The following entries will be removed:-\nVoice: 100\n"});
        EXPECT_EQ(Table(vlans, kIdVlanList)->rowCount(), 0);
        PressOk(shown);
    }

    void AddVlan(QtDialogView& dialog) {
        EXPECT_EQ(dialog.GetText(kIdVlanName, 100), u"Vlan #");
        EXPECT_FALSE(dialog.IsControlEnabled(kIdUntaggedVlan));  // no tagged VLAN yet
        QTest::keyClicks(dialog.Control(kIdVlanId), "100");
        dialog.Control(kIdVlanName)->setFocus();
        QTest::keyClick(dialog.Control(kIdVlanName), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog.Control(kIdVlanName), "Voice");
        Click(dialog, kIdOk);
    }

    qv::testing::TempMachine machine_;
    QtShell shell_;
    QTimer watchdog_;
    int waitDialogs_ = 0;
    bool sheetShown_ = false;
    std::vector<std::u16string> messages_;
};

TEST_F(QtScenarioTest, CreateATeamOpenItsPropertiesAddAndRemoveAVlan) {
    EXPECT_EQ(TeamCfgMain(shell_), 0);
    EXPECT_TRUE(sheetShown_);
}

}  // namespace
}  // namespace qv::cfg::qt
