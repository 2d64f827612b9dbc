// The single-instance checks against programs running on simulated machines, and the administrator
// test of the simulated host.
#include <gtest/gtest.h>

#include "qv/teamlib/inventory.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/testing/machine_processes.h"

namespace qv {
namespace {

// Copies of a program count on their own machine only, and only from the second on.
TEST(InstanceCheckTest, AnswersOneOnlyWithTwoCopiesOnTheMachine) {
    testing::TempMachine other;
    testing::TempMachine machine;
    testing::MachineProcesses programs;
    other.Select();
    programs.Start("QvTeamCmd.exe");
    programs.Start("QvTeamCmd.exe");
    machine.Select();
    EXPECT_EQ(IsQvTeamCmdRunning(), 0);
    programs.Start("qvteamcmd.EXE");
    EXPECT_EQ(IsQvTeamCmdRunning(), 0);
    const pid_t second = programs.Start("QvTeamCmd.exe");
    programs.Start("QvTeamCfg.exe");
    EXPECT_EQ(IsQvTeamCmdRunning(), 1);
    EXPECT_EQ(IsQvTeamCfgRunning(), 0);
    programs.Kill(second);
    EXPECT_EQ(IsQvTeamCmdRunning(), 0);
}

TEST(IsUserAdminTest, FollowsTheHostsAnswer) {
    testing::TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::u16string host = u"SOFTWARE\\QvSim\\Host";
    ASSERT_TRUE(testing::WriteValueBytes(host, u"Administrator", 4, {1, 0, 0, 0}));
    EXPECT_NE(IsUserAdmin(), 0);
    ASSERT_TRUE(testing::WriteValueBytes(host, u"Administrator", 4, {0, 0, 0, 0}));
    EXPECT_EQ(IsUserAdmin(), 0);
}

}  // namespace
}  // namespace qv
