// -u cim_pipeline, cim_genread and cim_ioqs through whole runs of the tool: the reports on the
// power-on adapter, the analyser stopped and restarted, and the bounded waits.
#include <gtest/gtest.h>

#include <algorithm>

#include "chip_fixture.h"

namespace qv::qvtool {
namespace {

using test::ChipTest;

constexpr uint32_t kLaControl = 0x80;

TEST_F(ChipTest, CimReportsOnThePowerOnAdapter) {
    std::string text;
    for (const char* name : {"cim_pipeline", "cim_genread", "CIM_IOQS"}) {
        text += std::string("== -u ") + name + "\n" + RunOnNic0({"-u", name});
    }
    EXPECT_TRUE(qv::testing::MatchesGolden(text, Golden("cim.txt")));
}

// The capture is read from the entry after the write pointer on: four words an entry, printed
// first, third, second; 128 lines.
TEST_F(ChipTest, PipelineReadsFromTheWritePointerOn) {
    adapter_->PokeCim(kLaControl, 0x01FF0000);  // stopped, write pointer 511
    for (uint32_t i = 0; i < sim::n5::kCimLaWords; ++i) chip().cimLa[i] = i;
    const std::string out = RunOnNic0({"-u", "cim_pipeline"});
    // (511 + 4) * 4 wraps to word 3 within the 9-bit address: 0x0003, then 5 and 4, then 6 unshown.
    EXPECT_EQ(out.substr(0, 29), "0x0003 0x00000005 0x00000004\n");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 128);
    EXPECT_EQ(adapter_->PeekCim(kLaControl) & 1u, 1u) << "restarted although it was not running";
}

TEST_F(ChipTest, PipelineStopsARunningAnalyserAndKeepsItsConfiguration) {
    adapter_->PokeCim(kLaControl, 0x80230001);  // running, a configuration bit above the pointer
    const std::string out = RunOnNic0({"-u", "cim_pipeline"});
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 128);
    EXPECT_EQ(adapter_->PeekCim(kLaControl) & 0xFFFF0003u, 0x80230001u);
}

TEST_F(ChipTest, PipelineReadThatNeverCompletesIsBounded) {
    chip().faults.cimLaBusyStuck = 1;
    const uint64_t before = adapter_->state().counters.cimAccesses;
    EXPECT_EQ(RunOnNic0({"-u", "cim_pipeline"}), "Error reading the cim la, registers.\n");
    // Read, stop, one request and 1000 polls, restart.
    EXPECT_EQ(adapter_->state().counters.cimAccesses - before, 1u + 1u + 1u + 1000u + 1u);
    EXPECT_EQ(adapter_->PeekCim(kLaControl) & 3u, 1u) << "restarted, without a read request";
}

TEST_F(ChipTest, PipelineWithoutItsControlWordTouchesNothing) {
    adapter_->SetRegisterReadFails(0x2B4, true);  // host_acc_data
    adapter_->PokeCim(kLaControl, 0x00230000);
    EXPECT_EQ(RunOnNic0({"-u", "cim_pipeline"}),
              "Error reading cim register.\nError reading the cim la, registers.\n");
    EXPECT_EQ(adapter_->PeekCim(kLaControl), 0x00230000u);
}

TEST_F(ChipTest, GeneralRegisterFailuresAreReportedAndShowZero) {
    adapter_->SetFunctionFails(1, true);
    EXPECT_EQ(RunOnNic0({"-u", "cim_genread"}),
              "Error reading cim register.\n CIM CTL GEN0: 0x00000000\nError reading cim register.\n"
              " CIM CTL GEN1: 0x00000000\nError reading cim register.\n CIM CTL GEN2: 0x00000000\n"
              "Error reading cim register.\n CIM CTL GEN3: 0x00000000\n");
}

TEST_F(ChipTest, QueueContentsComeFromTheSelectedQueue) {
    chip().cimQueues[2][0] = 0xAAAA0000;
    chip().cimQueues[2][9] = 0xAAAA0009;
    chip().cimQueues[5][511] = 0xBBBB01FF;  // outbound queue 1
    const std::string out = RunOnNic0({"-u", "cim_ioqs"});
    const size_t ibq2 = out.find("ibq_2_pktcnt.eop:");
    ASSERT_NE(ibq2, std::string::npos);
    const size_t contents = out.find('\n', ibq2) + 1;
    EXPECT_EQ(out.substr(contents, 17), "[0000]: aaaa0000 ");
    EXPECT_NE(out.find("\n[0032]: " + std::string(), contents), std::string::npos);
    EXPECT_EQ(out.substr(out.find("\n[0032]: ", contents) + 18, 9), "aaaa0009 ");
    const size_t obq2 = out.find("\nobq_2_rdaddr:");
    EXPECT_EQ(out.substr(obq2 - 9, 9), "bbbb01ff ") << "the last entry ends without a newline";
}

TEST_F(ChipTest, QueueDebugBusyIsBoundedAndReportedOncePerQueue) {
    adapter_->SetQueueDebugBusyStuck(true);
    const std::string out = RunOnNic0({"-u", "cim_ioqs"});
    size_t errors = 0;
    for (size_t at = out.find("Error reading cim register.\n"); at != std::string::npos;
         at = out.find("Error reading cim register.\n", at + 1)) {
        ++errors;
    }
    EXPECT_EQ(errors, 7u);
    EXPECT_EQ(out.find("[0000]"), std::string::npos);
}

}  // namespace
}  // namespace qv::qvtool
