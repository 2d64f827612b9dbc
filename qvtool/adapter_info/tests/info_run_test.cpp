// -o, -v, -m and -b through whole runs of the tool on a simulated machine, with golden outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "qv/qvtool/adapter_info/adapter_info_commands.h"
#include "qv/qvtool/qset_params.h"
#include "qv/sim/n5/adapter_info_state.h"
#include "qv/testing/golden.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using qv::testing::MatchesGolden;

std::string Golden(const char* name) {
    return std::string("qvtool/adapter_info/tests/golden/") + name;
}

class InfoRunTest : public test::Nic0Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(files_.ok());
        Nic0Test::SetUp();
        sim::n5::PowerOnAdapterInfo(&info());
        SetFirmwareWords(0x00070210, 0xFFFFFFFF);
        std::memcpy(before_, adapter_->state().counters.functionRequests, sizeof before_);
    }
    sim::n5::AdapterInfoState& info() { return adapter_->state().info; }
    // Requests of the function since the test began.
    uint64_t Requests(uint32_t function) const {
        return adapter_->state().counters.functionRequests[function] - before_[function];
    }
    void SetFirmwareWords(uint32_t main, uint32_t fallback) {
        std::memcpy(adapter_->state().flash.memory + 0x7FFFC, &main, 4);
        std::memcpy(adapter_->state().flash.memory + kFlashFallbackVersionAddress, &fallback, 4);
    }
    std::string Path(const char* name) const { return (files_.path() / name).string(); }

    qv::testing::TempDir files_{"info-run"};
    uint64_t before_[sim::n5::kMaxFunction + 1] = {};
};

TEST_F(InfoRunTest, VersionsOfTheDefaultAdapter) {
    EXPECT_TRUE(MatchesGolden(RunOnNic0({"-v"}), Golden("versions_default.txt")));
    EXPECT_EQ(info().microcodeBusyReads, 0u) << "the handshake was waited out";
}

TEST_F(InfoRunTest, FirmwareWordsSelectLetterFieldsAndTheFallbackWord) {
    const struct {
        uint32_t main, fallback;
    } kWords[] = {
        {0x0007020A, 0x00000000},  // N 7.2.10
        {0x1007020A, 0x00000000},  // T 7.2.10
        {0x0065FF01, 0x00000000},  // major 101: the fallback, 0, prints N/A and no version
        {0x00640101, 0x00090807},  // major 100 is kept
        {0xFFFFFFFF, 0x20030405},  // an erased word: the fallback, T 3.4.5
        {0x00000000, 0x00090807},  // 0: N/A, the fallback is not read
    };
    std::string text;
    for (const auto& w : kWords) {
        SetFirmwareWords(w.main, w.fallback);
        char title[64];
        std::snprintf(title, sizeof title, "== 0x%08X, fallback 0x%08X\n", w.main, w.fallback);
        text += title + RunOnNic0({"-v"});
    }
    EXPECT_TRUE(MatchesGolden(text, Golden("versions_firmware_words.txt")));
}

TEST_F(InfoRunTest, EveryFailingRequestPrintsItsLineAndTheRunGoesOn) {
    const struct {
        const char* title;
        uint32_t function;  // 0: a fault of the adapter instead
        void (sim::n5::Adapter::*fault)(bool);
        std::vector<std::string> words;
    } kCases[] = {
        {"flash read fails", 5, nullptr, {"-v"}},
        {"configuration read fails", 3, nullptr, {"-v"}},
        {"no VPD capability", 0, &sim::n5::Adapter::SetVpdAbsent, {"-v"}},
        {"register read fails", 1, nullptr, {"-v"}},
        {"register write fails", 2, nullptr, {"-v"}},
        {"microcode never ready", 0, &sim::n5::Adapter::SetMicrocodeNeverReady, {"-v"}},
        {"version request fails", 26, nullptr, {"-v"}},
        {"trace request fails", 28, nullptr, {"-o"}},
        {"queue-set read fails", 29, nullptr, {"-m", "qs1", "maxrxpkts"}},
        {"queue-set set fails", 29, nullptr, {"-m", "qs1", "maxrxpkts", "7"}},
        {"blink fails", 31, nullptr, {"-b", "5"}},
    };
    std::string text;
    for (const auto& c : kCases) {
        if (c.function != 0) adapter_->SetFunctionFails(c.function, true);
        if (c.fault != nullptr) ((*adapter_).*(c.fault))(true);
        text += std::string("== ") + c.title + "\n" + RunOnNic0(c.words);
        adapter_->ClearFaults();
    }
    EXPECT_TRUE(MatchesGolden(text, Golden("failures.txt")));
    EXPECT_EQ(info().qsetParams[1][1], 0x40u) << "a failed set changed nothing";
    EXPECT_EQ(info().blinkRequests, 0u);
}

TEST_F(InfoRunTest, TraceComesInSuccessiveBuffersUntilNoneIsLeft) {
    const std::string out = RunOnNic0({"-o"});
    EXPECT_TRUE(MatchesGolden(out, Golden("trace_default.txt")));
    EXPECT_GE(info().traceBuffersHandedOut, 3u);
    EXPECT_EQ(Requests(28), info().traceBuffersHandedOut + 1) << "one more request that returned nothing";
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), sim::n5::kTraceEntriesAtPowerOn);
    EXPECT_EQ(RunOnNic0({"-o"}), "") << "the trace was handed out";

    // Into a file: the name is echoed when the option is read, the lines go to the file.
    sim::n5::PowerOnAdapterInfo(&info());
    const std::string file = Path("trace.txt");
    EXPECT_EQ(RunOnNic0({"-o", file}), file);
    EXPECT_EQ(test::ReadFile(file), out);
}

TEST_F(InfoRunTest, TraceFileThatIsNoRegularFileIsRefusedBeforeAnyRequest) {
    const std::string dir = files_.path().string();
    EXPECT_EQ(RunOnNic0({"-o", dir}), dir + "Unable to open trace output file " + dir + "\n");
    EXPECT_EQ(Requests(28), 0u);
}

TEST_F(InfoRunTest, ADriverThatNeverRunsOutIsAskedABoundedNumberOfTimes) {
    info().traceEntriesLeft = 0xFFFFFFFF;
    const std::string out = RunOnNic0({"-o"});
    EXPECT_EQ(Requests(28), kMaxTraceBuffers);
    const std::string last = "Trace dump stopped after 1024 buffers: the driver did not run out\n";
    ASSERT_GE(out.size(), last.size());
    EXPECT_EQ(out.substr(out.size() - last.size()), last);
}

TEST_F(InfoRunTest, QsetParametersAreReadAndSetByName) {
    EXPECT_EQ(RunOnNic0({"-m", "qs0", "holdoff"}), " 0x00000032\n");
    EXPECT_EQ(RunOnNic0({"-m", "qs3", "HOLDOFF", "1f"}), "") << "a set prints nothing";
    EXPECT_EQ(info().qsetParams[3][0], 0x1Fu);
    EXPECT_EQ(info().qsetParams[0][0], 0x32u);
    EXPECT_EQ(RunOnNic0({"-m", "qs3", "holdoff"}), " 0x0000001F\n");
    EXPECT_EQ(RunOnNic0({"-m", "qs7", "Percent_Below_DPC_Threshold", "0x64"}), "");
    EXPECT_EQ(info().qsetParams[7][4], 0x64u);

    const test::RunOutput hold = test::RunInProcess({"-d", "nic0", "-m", "qs0", "hold"});
    EXPECT_EQ(hold.out, "qset parameter is wrong\n");
    EXPECT_EQ(hold.status, 1);
    const test::RunOutput list = test::RunInProcess({"-d", "nic0", "-m", "qs0", "LIST"});
    EXPECT_TRUE(MatchesGolden(list.out, Golden("qset_list.txt")));
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(Requests(29), 4u) << "neither the wrong name nor the list reached the driver";
}

TEST_F(InfoRunTest, BlinkingIsAskedForTheSecondsGiven) {
    EXPECT_EQ(RunOnNic0({"-b", "5"}), " Blinking for 5 seconds...\n");
    EXPECT_EQ(info().lastBlinkSeconds, 5);
    EXPECT_EQ(info().blinkRequests, 1u);
}

TEST_F(InfoRunTest, TheFourRunInTheirFixedOrderAfterTheEepromDump) {
    info().traceEntriesLeft = 3;
    const std::string out = RunOnNic0({"-o", "-b", "2", "-v", "-m", "qs2", "cpu_affinity"});
    EXPECT_TRUE(MatchesGolden(out, Golden("all_in_order.txt")));
}

}  // namespace
}  // namespace qv::qvtool
