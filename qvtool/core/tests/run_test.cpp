// Whole runs on a simulated machine: the adapter open sequence and its messages, the register,
// configuration, MDIO and CIM commands with their output, the fixed order of operations, and every
// failing request under fault injection (the run still ends with status 0).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "qv/sim/bus_driver.h"
#include "qv/sim/host_state.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using test::RunInProcess;
using test::RunOutput;

class RunTest : public test::Nic0Test {
  protected:
    const sim::n5::Counters& counters() const { return adapter_->state().counters; }
};

TEST_F(RunTest, RegisterReadAndWrite) {
    EXPECT_EQ(RunOnNic0({"-r", "6f4"}), "0x00000003\n");  // pl3 rev
    EXPECT_EQ(RunOnNic0({"-r", "10", "5"}), "");
    EXPECT_EQ(adapter_->PeekRegister(0x10), 5u);
    EXPECT_EQ(RunOnNic0({"-r", "0x10"}), "0x00000005\n");
    EXPECT_EQ(RunOnNic0({"-r", "10", "5", "-f"}), "");  // parsing stopped at 5: a write, no decode
}

TEST_F(RunTest, ConfigurationSpaceReadAndWrite) {
    EXPECT_EQ(RunOnNic0({"-i", "0"}), "0x00055A5A\n");
    EXPECT_EQ(RunOnNic0({"-i", "50", "A1B2C3D4"}), "");
    EXPECT_EQ(RunOnNic0({"-i", "50"}), "0xA1B2C3D4\n");
    EXPECT_EQ(RunOnNic0({"-i", "100"}), "0x00000000\n");  // beyond configuration space: the read fails
}

TEST_F(RunTest, MdioReadPrintsDeviceRegisterAndValue) {
    EXPECT_EQ(RunOnNic0({"-l", "0", "x", "1"}), "ffffffff.0001=796d\n");
    EXPECT_EQ(RunOnNic0({"-l", "1", "3", "20", "beef"}), "");
    EXPECT_EQ(RunOnNic0({"-l", "1", "3", "20"}), "3.0020=beef\n");
    EXPECT_EQ(RunOnNic0({"-l", "1", "4", "20"}), "4.0020=0000\n");  // another device
}

TEST_F(RunTest, CimControlReadUsesControlSpace) {
    adapter_->PokeCim(0x2010, 0x0BADCAFE);
    adapter_->PokeCim(0x0010, 0x12345678);
    EXPECT_EQ(RunOnNic0({"-c", "10"}), "CIM Ctl Reg[0x0000000000000010]: 0x0badcafe\n");
    EXPECT_EQ(counters().lastCimAddress, 0x2010u);
    EXPECT_EQ(counters().lastCimWrite, 0u);
    EXPECT_EQ(RunOnNic0({"-n", "10"}), "CIM Queue Reg[0x0000000000000010]: 0x12345678\n");
    EXPECT_EQ(counters().lastCimAddress, 0x10u);
}

TEST_F(RunTest, CimWritesAccessOnceAndPrintNothing) {
    const uint64_t before = counters().cimAccesses;
    EXPECT_EQ(RunOnNic0({"-n", "10", "5"}), "");
    EXPECT_EQ(counters().cimAccesses, before + 1);
    EXPECT_EQ(counters().lastCimWrite, 1u);
    EXPECT_EQ(adapter_->PeekCim(0x10), 5u);

    EXPECT_EQ(RunOnNic0({"-c", "4", "77"}), "");
    EXPECT_EQ(adapter_->PeekCim(0x2004), 0x77u);
}

TEST_F(RunTest, CimOffsetsBeyondTheAddressFieldNeverTurnReadsIntoWrites) {
    adapter_->PokeCim(0x0010, 0x11111111);
    EXPECT_EQ(RunOnNic0({"-n", "10010"}), "CIM Queue Reg[0x0000000000010010]: 0x11111111\n");
    EXPECT_EQ(counters().lastCimWrite, 0u);
    EXPECT_EQ(adapter_->PeekCim(0x0010), 0x11111111u);
}

TEST_F(RunTest, StuckBusyBitEndsEachCimOperationAfterExactly10000Polls) {
    adapter_->SetCimBusyStuck(true);
    uint64_t before = counters().hostAccCtrlReads;
    EXPECT_EQ(RunOnNic0({"-c", "10"}),
              "Error reading cim register.\nCIM Ctl Reg[0x0000000000000010]: 0x00000000\n");
    EXPECT_EQ(counters().hostAccCtrlReads - before, 10000u);

    before = counters().hostAccCtrlReads;
    EXPECT_EQ(RunOnNic0({"-n", "10"}),
              "Error reading cim register.\nCIM Queue Reg[0x0000000000000010]: 0x00000000\n");
    EXPECT_EQ(counters().hostAccCtrlReads - before, 10000u);

    before = counters().hostAccCtrlReads;
    EXPECT_EQ(RunOnNic0({"-n", "10", "5"}), "Error writing cim register.\n");
    EXPECT_EQ(counters().hostAccCtrlReads - before, 10000u);
}

TEST_F(RunTest, FailedRequestsPrintTheirOwnTextAndTheRunEndsWith0) {
    adapter_->SetFunctionFails(1, true);
    EXPECT_EQ(RunOnNic0({"-r", "6f4"}), "0x00000000\n");
    adapter_->SetFunctionFails(3, true);
    EXPECT_EQ(RunOnNic0({"-i", "0"}), "0x00000000\n");
    adapter_->SetFunctionFails(7, true);
    EXPECT_EQ(RunOnNic0({"-l", "0", "x", "1"}), "ffffffff.0001=0000\n");
    adapter_->SetFunctionFails(2, true);
    adapter_->SetFunctionFails(4, true);
    adapter_->SetFunctionFails(8, true);
    EXPECT_EQ(RunOnNic0({"-r", "10", "9"}), "");
    EXPECT_EQ(RunOnNic0({"-i", "50", "9"}), "");
    EXPECT_EQ(RunOnNic0({"-l", "0", "x", "1", "9"}), "");
    EXPECT_NE(adapter_->PeekRegister(0x10), 9u);
}

TEST_F(RunTest, CimFailuresOfEachStep) {
    adapter_->SetRegisterWriteFails(0x2B4, true);  // data word of a write: no polls at all
    uint64_t before = counters().hostAccCtrlReads;
    EXPECT_EQ(RunOnNic0({"-n", "10", "5"}), "Error writing cim register.\n");
    EXPECT_EQ(counters().hostAccCtrlReads, before);

    adapter_->ClearFaults();
    adapter_->SetRegisterWriteFails(0x2B0, true);  // the command write
    EXPECT_EQ(RunOnNic0({"-n", "10"}),
              "Error reading cim register.\nCIM Queue Reg[0x0000000000000010]: 0x00000000\n");

    adapter_->ClearFaults();
    adapter_->SetRegisterReadFails(0x2B0, true);  // a failed poll fails the wait at once
    before = counters().hostAccCtrlReads;
    EXPECT_EQ(RunOnNic0({"-c", "10", "1"}), "Error writing cim register.\n");
    EXPECT_EQ(counters().hostAccCtrlReads, before);

    adapter_->ClearFaults();
    adapter_->PokeCim(0x20, 0xAAAA5555);
    adapter_->SetRegisterReadFails(0x2B4, true);  // the data read
    EXPECT_EQ(RunOnNic0({"-n", "20"}),
              "Error reading cim register.\nCIM Queue Reg[0x0000000000000020]: 0x00000000\n");
}

TEST_F(RunTest, OperationsRunInTheirFixedOrder) {
    adapter_->PokeCim(0x2004, 0xC);
    adapter_->PokeCim(0x0008, 0xE);
    const std::string out = RunOnNic0({"-n", "8", "-c", "4", "-l", "0", "x", "0"});
    const std::string out2 = RunOnNic0({"-i", "0", "-r", "6f4"});
    EXPECT_EQ(out,
              "ffffffff.0000=1140\n"
              "CIM Ctl Reg[0x0000000000000004]: 0x0000000c\n"
              "CIM Queue Reg[0x0000000000000008]: 0x0000000e\n");
    EXPECT_EQ(out2, "0x00000003\n0x00055A5A\n");
}

TEST_F(RunTest, RegisterReadBeforeWriteWhenBothAreGiven) {
    adapter_->PokeRegister(0x20, 0x1);
    EXPECT_EQ(RunOnNic0({"-r", "20", "7", "-r", "20"}), "");  // scanning stops at 7
    // One register offset serves both: the read runs at 0x20, before the write of 9.
    EXPECT_EQ(RunOnNic0({"-r", "24", "-r", "20", "9"}), "0x00000007\n");
    EXPECT_EQ(adapter_->PeekRegister(0x20), 9u);
}

TEST_F(RunTest, BlockDecodeListsEveryBlockAndLeavesOutFailedReads) {
    adapter_->SetRegisterReadFails(0x6F4, true);
    const std::string out = RunOnNic0({"-r", "all", "-f"});
    std::vector<std::string> blocks;
    const std::regex header("\n([a-z0-9_]+):\n={50}\n");
    for (std::sregex_iterator i(out.begin(), out.end(), header), end; i != end; ++i)
        blocks.push_back((*i)[1]);
    const std::vector<std::string> expected{
        "sge3",   "n5dbg", "mc7_pmrx",   "mc7_pmtx", "mc7_cm", "cim", "tp1", "ulp2_rx", "ulp2_tx", "pm1_rx",
        "pm1_tx", "mps0",  "cpl_switch", "smb0",     "i2cm0",  "mi1", "sf1", "pl3",     "mc5a"};
    EXPECT_EQ(blocks, expected);
    const size_t pl3 = out.find("\npl3:\n");
    ASSERT_NE(pl3, std::string::npos);
    const std::string pl3Block = out.substr(pl3, out.find("\nmc5a:\n") - pl3);
    EXPECT_NE(pl3Block.find("\ncli:\noffset = 0x00000000000006F8"), std::string::npos);
    EXPECT_EQ(pl3Block.find("\nrev:\n"), std::string::npos);
    EXPECT_NE(out.find("\nctrl:\noffset = 0x0000000000000000 size = 4 value = 0x00000c81\n"),
              std::string::npos);
}

TEST_F(RunTest, BlockNameAndOffsetWithFieldsSelectBlocks) {
    std::string out = RunOnNic0({"-r", "PL3"});
    EXPECT_EQ(out.rfind("\npl3:\n", 0), 0u);
    EXPECT_NE(out.find("\nrev:\noffset = 0x00000000000006F4 size = 4 value = 0x00000003\n"),
              std::string::npos);
    EXPECT_EQ(RunOnNic0({"-r", "mc7"}), "");
    out = RunOnNic0({"-r", "6dc", "-f"});
    EXPECT_EQ(out.rfind("\nsf1:\n", 0), 0u);
    EXPECT_NE(out.find("\nop:\noffset = 0x00000000000006DC"), std::string::npos);
}

TEST_F(RunTest, InstanceSelectsTheAdapter) {
    auto second = test::OpenSimulatedAdapter(1);
    ASSERT_NE(second, nullptr);
    second->PokeRegister(0x6E0, 0x1111);
    adapter_->PokeRegister(0x6E0, 0x0000);
    EXPECT_EQ(RunOnNic0({"-d", "adapter1", "-r", "6e0"}), "0x00001111\n");
}

TEST_F(RunTest, MissingInterfaceEndsTheRunWithStatus0) {
    RunOutput r = RunInProcess({"-d", "nic2", "-r", "0"});
    EXPECT_EQ(r.out, "Error:Interface GUID_DEVINTERFACE_BUSENUM_QV_VBD is not registered\n");
    EXPECT_EQ(r.status, 0);

    r = RunInProcess({"-d", "adapter", "-r", "0"});
    EXPECT_EQ(r.out, "adapter has no instance info\n" + test::GoldenUsage() +
                         "Error:Interface GUID_DEVINTERFACE_BUSENUM_QV_VBD is not registered\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(RunTest, AbsentCardIsSkippedInTheNumbering) {
    auto second = test::OpenSimulatedAdapter(1);
    ASSERT_NE(second, nullptr);
    second->PokeRegister(0x6E0, 0x2222);
    ASSERT_TRUE(sim::WriteDeviceState(u"ROOT\\QVVBD\\0000", u"Present", 0));
    EXPECT_EQ(RunOnNic0({"-r", "6e0"}), "0x00002222\n");
    ASSERT_TRUE(sim::WriteDeviceState(u"ROOT\\QVVBD\\0000", u"Present", 1));
}

TEST_F(RunTest, ForeignStateFileIsRefusedAndEachOperationFails) {
    const auto stateFile = sim::AdapterStateFile("ROOT\\QVVBD\\0001");
    adapter_.reset();
    {
        std::ofstream junk(stateFile, std::ios::binary | std::ios::trunc);
        junk << "not an adapter";
    }
    const RunOutput r = RunInProcess({"-d", "nic1", "-r", "0", "-c", "0"});
    EXPECT_EQ(r.out,
              "CreateFile failed: 0xb0x00000000\n"
              "Error reading cim register.\nCIM Ctl Reg[0x0000000000000000]: 0x00000000\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::ReadFile(stateFile), "not an adapter");  // left untouched
    std::filesystem::remove(stateFile);
    adapter_ = test::OpenSimulatedAdapter(0);
}

TEST_F(RunTest, LookupAndOpenFailuresLetEachOperationFail) {
    struct Case {
        std::u16string_view value;
        uint32_t setting;
        std::string out;
    };
    const Case cases[] = {
        {sim::kStateInterfaceDetailFails, 5,
         "Error in SetupDiGetDeviceInterfaceDetail5\nDevice Opened was unsuccessfully\n0x00000000\n"},
        {sim::kStateInterfaceDetailFails, 122,
         "Error in SetupDiGetDeviceInterfaceDetail\nDevice Opened was unsuccessfully\n0x00000000\n"},
        {sim::kStateInterfaceDetailSize, 0x7FFFFFFF,
         "Couldn't allocate 2147483647 bytes for device interface details.\n"
         "Device Opened was unsuccessfully\n0x00000000\n"},
        {sim::kStateInterfaceDetailSize, 2,
         "Couldn't allocate 2 bytes for device interface details.\nDevice Opened was "
         "unsuccessfully\n0x00000000\n"},
        {sim::kStateOpenFails, 31, "CreateFile failed: 0x1f0x00000000\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sim::WriteDeviceState(u"ROOT\\QVVBD\\0000", c.value, c.setting));
        EXPECT_EQ(RunOnNic0({"-r", "6f4"}), c.out);
        ASSERT_TRUE(sim::WriteDeviceState(u"ROOT\\QVVBD\\0000", c.value, 0));
    }
    EXPECT_EQ(RunOnNic0({"-r", "6f4"}), "0x00000003\n");
}

TEST_F(RunTest, ConversionNeedsNoAdapter) {
    // No adapter is looked up: the only messages are the conversion's own.
    const RunOutput r = RunInProcess({"-k", "image.bin"});
    EXPECT_EQ(r.out,
              "\nChecking integrety of Firmware binary image file image.bin.\n"
              "Unable to open image.bin board configuration file\n");
    EXPECT_EQ(r.status, 0);
}

}  // namespace
}  // namespace qv::qvtool
