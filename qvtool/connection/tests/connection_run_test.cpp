// -s tcb, wrc, tp and stag through whole runs of the tool on a simulated adapter: what they print,
// which requests they make, and what a failing request leaves on the screen.
#include <gtest/gtest.h>

#include <string>

#include "qv/qvtool/connection/connection_state.h"
#include "qv/testing/golden.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using qv::testing::MatchesGolden;

constexpr uint32_t kMemoryReadFunction = 25;
constexpr uint32_t kRegisterReadFunction = 1;

class ConnectionRunTest : public test::Nic0Test {
  protected:
    // Every test starts from the power-on connection state and base registers.
    void SetUp() override {
        Nic0Test::SetUp();
        sim::n5::StateFile& s = adapter_->state();
        sim::n5::PowerOnConnectionMemory(&s.connections, s.registers);
        adapter_->PokeRegister(kSdramBaseRegister, 0x00010000);
    }
    sim::n5::TpLogicAnalyser& La() { return adapter_->state().connections.la; }
    uint64_t Requests(uint32_t function) const {
        return adapter_->state().counters.functionRequests[function];
    }
    static size_t Count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
};

TEST_F(ConnectionRunTest, ReportsOfTheDefaultAdapterMatchTheirGoldens) {
    const struct {
        std::vector<std::string> words;
        const char* golden;
    } cases[] = {
        {{"-s", "tcb", "5"}, "tcb_raw.txt"},       {{"-f", "-s", "TCB", "5"}, "tcb_fields.txt"},
        {{"-s", "wrc", "3"}, "wrc.txt"},           {{"-s", "stag", "1ff"}, "stag.txt"},
        {{"-s", "tp", "6"}, "tp_alternating.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(
            MatchesGolden(RunOnNic0(c.words), std::string("qvtool/connection/tests/golden/") + c.golden))
            << c.golden;
    }
}

TEST_F(ConnectionRunTest, WrcOfConnectionOneShowsItsAddressesWhateverTheBase) {
    adapter_->PokeRegister(kSdramBaseRegister, 0x20000000);
    const std::string out = RunOnNic0({"-s", "wrc", "1"});
    EXPECT_TRUE(MatchesGolden(out, "qvtool/connection/tests/golden/wrc_connection1.txt"));
    EXPECT_EQ(out.substr(0, 27), "WRC STATE (raw)\n[20300b20]:");
    EXPECT_NE(out.find("\n4 tid : 0x00000001 (1)\n"), std::string::npos) << "the stored context, at its base";
    EXPECT_NE(out.find("WRC ZERO\n[20301420]:"), std::string::npos);
}

TEST_F(ConnectionRunTest, LogicAnalyserReadsAllSamplesForCountsZeroAnd200) {
    La().writePointer = 0;
    adapter_->PokeRegister(kTpLaConfigRegister, 0);  // one format only
    const std::string zero = RunOnNic0({"-s", "tp", "0"});
    EXPECT_TRUE(MatchesGolden(zero, "qvtool/connection/tests/golden/tp_all_first_format.txt"));
    EXPECT_EQ(Count(zero, "\nrptr="), 128u);
    EXPECT_EQ(zero.substr(0, 39), "TP_DBG_LA_CONFIG=0x0\n\nrptr=0x7f  value=") << "backwards from 0";
    EXPECT_EQ(Count(zero, "op="), 128u);
    EXPECT_EQ(Count(zero, "cmd="), 0u);
    EXPECT_NE(zero.find("\nrptr=0x0  value="), std::string::npos);
    EXPECT_EQ(RunOnNic0({"-s", "tp", "200"}), zero);
    EXPECT_EQ(zero.find("WARNING"), std::string::npos);
}

TEST_F(ConnectionRunTest, LogicAnalyserAlternatesFormatsInModesTwoAndThree) {
    const struct {
        uint32_t config;
        size_t second;
    } cases[] = {{0x0000, 0}, {0x4000, 0}, {0x8000, 2}, {0xC000, 2}};
    for (const auto& c : cases) {
        adapter_->PokeRegister(kTpLaConfigRegister, c.config);
        const std::string out = RunOnNic0({"-s", "tp", "5"});
        EXPECT_EQ(Count(out, "cmd="), c.second) << c.config;
        EXPECT_EQ(Count(out, "op="), 5 - c.second) << c.config;
        // The first sample is odd: always the first format.
        EXPECT_LT(out.find("op="), out.find("\nrptr=", out.find("\nrptr=") + 1)) << c.config;
    }
}

TEST_F(ConnectionRunTest, LogicAnalyserWarnsWhenTheWritePointerMoved) {
    La().writePointer = 0x10;
    La().step = 3;
    const std::string out = RunOnNic0({"-s", "tp", "2"});
    EXPECT_EQ(out.substr(0, 41), "TP_DBG_LA_CONFIG=0x138000\n\nrptr=0x12  val");
    EXPECT_EQ(out.substr(out.size() - 70),
              "TP_DBG_LA_CONFIG=0x168011\nWARNING: wptr has changed from 0x13 to 0x16\n");
    // The read pointer went out in bits 6:0 with the other bits as read.
    EXPECT_EQ(adapter_->PeekRegister(kTpLaConfigRegister), 0x8011u);
}

TEST_F(ConnectionRunTest, FailedReadsPrintTheirMessageWithStatusZero) {
    adapter_->SetFunctionFails(kMemoryReadFunction, true);
    EXPECT_EQ(RunOnNic0({"-s", "tcb", "1"}), "TCB read error. status = 0x00000000\n");
    EXPECT_EQ(RunOnNic0({"-f", "-s", "tcb", "1"}), "TCB read error. status = 0x00000000\n");
    EXPECT_EQ(RunOnNic0({"-s", "wrc", "1"}), "Work request context read error. status = 0x00000000\n");
    EXPECT_EQ(RunOnNic0({"-s", "stag", "100"}), "Work request context read error. status = 0x00000000\n");
    adapter_->SetFunctionFails(kMemoryReadFunction, false);

    adapter_->SetRegisterReadFails(kSdramBaseRegister, true);
    const uint64_t reads = Requests(kMemoryReadFunction);
    EXPECT_EQ(RunOnNic0({"-s", "wrc", "1"}), "");
    EXPECT_EQ(Requests(kMemoryReadFunction), reads) << "no memory read without the base";
    adapter_->SetRegisterReadFails(kSdramBaseRegister, false);
    adapter_->SetRegisterReadFails(kTptLowerLimitRegister, true);
    EXPECT_EQ(RunOnNic0({"-s", "stag", "100"}), "");
    EXPECT_EQ(Requests(kMemoryReadFunction), reads);
    adapter_->SetRegisterReadFails(kTptLowerLimitRegister, false);

    // The analyser's requests are not checked: failed reads show as zero.
    adapter_->SetFunctionFails(kRegisterReadFunction, true);
    const std::string tp = RunOnNic0({"-s", "tp", "1"});
    EXPECT_EQ(tp.substr(0, 56), "TP_DBG_LA_CONFIG=0x0\n\nrptr=0x7f  value=0\nop=0 state=0/0 ");
}

TEST_F(ConnectionRunTest, ObjectsSetThroughTheAdapterShowUpDecoded) {
    uint8_t* tcb = adapter_->state().connections.tcb + 9 * 128;
    std::fill(tcb, tcb + 128, uint8_t{0});
    tcb[8] = 0x07;  // logical word 0 is stored third: state 7
    const std::string out = RunOnNic0({"-f", "-s", "tcb", "9"});
    EXPECT_EQ(out.substr(0, 42), "tcb 9\n  state                  = 7h\n  time");
    EXPECT_NE(out.find("  dip                    = 0.0.0.0\n"), std::string::npos);
}

}  // namespace
}  // namespace qv::qvtool
