// The program QvTeamCfg as a process on a simulated machine: it paints its sheet, and a second
// start while one copy runs shows the instance message and ends.
#include <gtest/gtest.h>

#include "qv/teamlib/inventory.h"
#include "qv/testing/eventually.h"
#include "qv/testing/program_run.h"
#include "qv/testing/temp_machine.h"

namespace {

using qv::testing::RunProgram;

const std::vector<std::string> kPaintOnce = {"QT_QPA_PLATFORM=offscreen", "QV_TEAMCFG_EXIT_AFTER_PAINT=1"};

TEST(QvTeamCfgProgramTest, PaintsItsSheetAndRefusesASecondCopy) {
    qv::testing::TempMachine machine;
    ASSERT_TRUE(machine.ok()) << machine.error();

    const qv::testing::Exited alone = RunProgram("QvTeamCfg", machine.dir(), {}, kPaintOnce);
    EXPECT_EQ(alone.status, 0);
    EXPECT_EQ(alone.output, "Quorvex Configuration Utility\n");

    // A copy of the program that runs until the test ends.
    const qv::testing::RunningProgram first("QvTeamCfg", machine.dir(), {}, {"QT_QPA_PLATFORM=offscreen"});
    ASSERT_TRUE(first.started());
    qv::testing::Eventually([] { return qv::CountProcessesNamed(u"QvTeamCfg.exe", 2) == 1; });
    ASSERT_EQ(qv::CountProcessesNamed(u"QvTeamCfg.exe", 2), 1);

    // The message box has no title and shows no caption: not even the program's name.
    const qv::testing::Exited second = RunProgram("QvTeamCfg", machine.dir(), {}, kPaintOnce);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.output, ": Another Instance of the app is already running\n");
}

}  // namespace
