// The built program, run as a user runs it: exit statuses, which stream each text goes to, and
// the invocation name in the scanner's messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "qv/sim/host_state.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using test::RunProgram;

class ProgramTest : public ::testing::Test {
  protected:
    test::TempMachine machine_{test::MachineOptions::OnFirstUse()};
    const std::string usage_ = test::GoldenUsage();
};

TEST_F(ProgramTest, UsageErrorsEndWithStatus1) {
    auto r = RunProgram(machine_.dir(), {});
    EXPECT_EQ(r.out, "Device not specified\n" + usage_);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 1);

    r = RunProgram(machine_.dir(), {"-x"});
    EXPECT_EQ(r.err, std::string(QV_BIN_DIR "/qvtool") + ": illegal option -- x\n");
    EXPECT_EQ(r.out, usage_);
    EXPECT_EQ(r.status, 1);

    r = RunProgram(machine_.dir(), {"-h", "1"});
    EXPECT_EQ(r.out, usage_);
    EXPECT_EQ(r.status, 1);

    r = RunProgram(machine_.dir(), {"-d", "nic0", "-Q", "tun0", "5"});
    EXPECT_EQ(r.err, "Need queue index and count\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 1);

    r = RunProgram(machine_.dir(), {"-d", "nic0", "-m", "qs8", "holdoff"});
    EXPECT_EQ(r.out, "qset instance(8) is wrong(use qs0-qs7)\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(ProgramTest, AdapterRunsEndWithStatus0) {
    auto r = RunProgram(machine_.dir(), {"-d", "nic0", "-r", "6f4", "-l", "0", "x", "1"});
    EXPECT_EQ(r.out, "0x00000003\nffffffff.0001=796d\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);

    // The written value survives into the next run, as it would on the adapter.
    r = RunProgram(machine_.dir(), {"-d", "nic1", "-n", "40", "1234"});
    EXPECT_EQ(r.out, "");
    r = RunProgram(machine_.dir(), {"-d", "nic1", "-n", "40"});
    EXPECT_EQ(r.out, "CIM Queue Reg[0x0000000000000040]: 0x00001234\n");

    r = RunProgram(machine_.dir(), {"-d", "adapter", "-r", "0"});
    EXPECT_EQ(r.out, "adapter has no instance info\n" + usage_ +
                         "Error:Interface GUID_DEVINTERFACE_BUSENUM_QV_VBD is not registered\n");
    EXPECT_EQ(r.status, 0);
}

// A user who is no administrator: the device refuses to open, the run says so in one line and ends
// with 5 before any operation; a missing interface is reported as ever.
TEST_F(ProgramTest, WithoutAdministratorRightsTheRunSaysSoAndFails) {
    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0));
    auto r = RunProgram(machine_.dir(), {"-d", "nic0", "-r", "6f4", "-v"});
    EXPECT_EQ(r.out, "Administrator rights are needed: run this program as an administrator.\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 5);

    r = RunProgram(machine_.dir(), {"-d", "nic9", "-r", "0"});
    EXPECT_EQ(r.out, "Error:Interface GUID_DEVINTERFACE_BUSENUM_QV_VBD is not registered\n");
    EXPECT_EQ(r.status, 0);

    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 1));
    r = RunProgram(machine_.dir(), {"-d", "nic0", "-r", "6f4"});
    EXPECT_EQ(r.out, "0x00000003\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(ProgramTest, UnreadableMachineRegistryFailsTheInterfaceLookup) {
    ASSERT_EQ(RunProgram(machine_.dir(), {"-d", "nic0", "-r", "0"}).status, 0);  // creates the machine
    for (const char* name : {"registry.db-wal", "registry.db-shm"})
        std::filesystem::remove(machine_.dir() / name);
    {
        std::ofstream db(machine_.dir() / "registry.db", std::ios::binary | std::ios::trunc);
        db << std::string(4096, 'x');
    }
    const auto r = RunProgram(machine_.dir(), {"-d", "nic0", "-r", "0"});
    EXPECT_EQ(r.out, "SetupDiGetClassDevs failed: 3f7\n");  // the registry's "corrupt" error
    EXPECT_EQ(r.status, 0);
}

}  // namespace
}  // namespace qv::qvtool
