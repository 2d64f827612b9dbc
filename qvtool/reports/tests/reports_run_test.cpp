// -u and -s chim through whole runs of the tool on the simulated adapter: every report on the
// power-on statistics against its golden, every failing request's line, and the edge cases of
// the driver's answers (codes outside the tables, counts too large, ports without functions, a
// first slot that finds no port).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "qv/qvtool/reports/report_tables.h"
#include "qv/sim/n5/statistics.h"
#include "qv/testing/golden.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

void Put32(uint8_t* field, uint32_t value) {
    std::memcpy(field, &value, 4);  // the records are little-endian, as this host
}

class ReportsRunTest : public test::Nic0Test {
  protected:
    void SetUp() override {
        Nic0Test::SetUp();
        sim::n5::PowerOnStatistics(&Stats());
    }
    sim::n5::Statistics& Stats() { return adapter_->state().stats; }
    uint64_t Requests(uint32_t function) const {
        return adapter_->state().counters.functionRequests[function];
    }
    static std::string Golden(const std::string& name) {
        return qv::testing::ReadGolden("qvtool/reports/tests/golden/" + name + ".txt");
    }
};

struct GoldenCase {
    const char* golden;
    std::vector<std::string> words;
};

class ReportGoldens : public ReportsRunTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(ReportGoldens, PowerOnAdapter) {
    const GoldenCase& c = GetParam();
    EXPECT_TRUE(qv::testing::MatchesGolden(RunOnNic0(c.words),
                                           std::string("qvtool/reports/tests/golden/") + c.golden + ".txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportGoldens,
    ::testing::Values(GoldenCase{"phy0", {"-u", "phy0"}}, GoldenCase{"mac1", {"-u", "mac1"}},
                      GoldenCase{"qs1", {"-u", "qs1"}}, GoldenCase{"ip", {"-u", "ip"}},
                      GoldenCase{"tcp", {"-u", "tcp"}}, GoldenCase{"intr", {"-u", "intr"}},
                      GoldenCase{"toe", {"-u", "toe"}}, GoldenCase{"sge", {"-u", "sge"}},
                      GoldenCase{"wtf", {"-u", "wtf"}}, GoldenCase{"chim", {"-s", "chim2", "5"}}),
    [](const auto& param) { return std::string(param.param.golden); });

struct FailureCase {
    std::vector<std::string> words;
    uint32_t failingFunction;  // 0: none, the driver refuses the instance
    const char* expected;
};

TEST_F(ReportsRunTest, EveryFailingRequestPrintsItsLineWithStatusZero) {
    const FailureCase cases[] = {
        {{"-u", "phy1"}, 10, "Phy 1 stats read error. status = 0x00000000\n"},
        {{"-u", "phy2"}, 0, "Phy 2 stats read error. status = 0x00000000\n"},
        {{"-u", "mac0"}, 11, "Mac 0 stats read error. status = 0x00000000\n"},
        {{"-u", "mac-1"}, 0, "Mac -1 stats read error. status = 0x00000000\n"},
        {{"-u", "qs3"}, 12, "Queue set 3 statistics read error. status = 0x00000000\n"},
        {{"-u", "qs8"}, 0, "Queue set 8 statistics read error. status = 0x00000000\n"},
        {{"-u", "ip"}, 14, "ip mib stats read error. status = 0x00000000\n"},
        {{"-u", "tcp"}, 15, "tcp mib stats read error. status = 0x00000000\n"},
        {{"-u", "intr"}, 13, "Interrupt stats read error. status = 0x00000000\n"},
        {{"-u", "toe"}, 16, "Toe statistics read error. status = 0x00000000\n"},
        {{"-s", "chim1", "0"}, 17, "Chimney statistics read error. status = 0x00000000\n"},
        {{"-s", "chim16", "0"}, 0, "Chimney statistics read error. status = 0x00000000\n"},
        // The diagram prints nothing at all when any of its reads fails.
        {{"-u", "wtf"}, 14, ""},
        {{"-u", "wtf"}, 1, ""},
        {{"-u", "sge"}, 1, ""},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.words[1]);
        if (c.failingFunction != 0) adapter_->SetFunctionFails(c.failingFunction, true);
        EXPECT_EQ(RunOnNic0(c.words), c.expected);
        adapter_->ClearFaults();
    }
}

TEST_F(ReportsRunTest, ToeRegisterFailurePrintsStatusOneAndSendsNoRequest) {
    adapter_->SetRegisterReadFails(0x734, true);
    const uint64_t before = Requests(16);
    EXPECT_EQ(RunOnNic0({"-u", "toe"}), "Toe statistics read error. status = 0x00000001\n");
    EXPECT_EQ(Requests(16), before);
}

TEST_F(ReportsRunTest, PhyCodesOutsideTheTablesPrintUnknown) {
    const struct {
        uint32_t speed, duplex, status;
        const char* expected;
    } cases[] = {
        {0, 0, 1, "link_speed : 10Mb/s\nlink_duplex : half\nlink_status : up\n"},
        {1, 1, 0, "link_speed : 100Mb/s\nlink_duplex : full\nlink_status : down\n"},
        {2, 1, 7, "link_speed : 1Gb/s\nlink_duplex : full\nlink_status : up\n"},
        {4, 2, 0, "link_speed : unknown\nlink_duplex : unknown\nlink_status : down\n"},
        {0xFFFFFFFF, 0xFFFFFFFF, 0, "link_speed : unknown\nlink_duplex : unknown\nlink_status : down\n"},
    };
    for (const auto& c : cases) {
        uint8_t* link = Stats().portLink[1];
        Put32(link + sim::n5::kPortLinkSpeed, c.speed);
        Put32(link + sim::n5::kPortLinkDuplex, c.duplex);
        Put32(link + sim::n5::kPortLinkStatus, c.status);
        EXPECT_EQ(RunOnNic0({"-u", "PHY1"}), c.expected);
    }
}

TEST_F(ReportsRunTest, IntrPrintsOneBlockPerQueueSetAndNoMoreThanTheRecordHolds) {
    const std::string all = Golden("intr");
    const std::string global = all.substr(0, all.find("qs0\n"));
    Put32(Stats().interrupts + sim::n5::kInterruptQsetCount, 0);
    EXPECT_EQ(RunOnNic0({"-u", "intr"}), global);

    Put32(Stats().interrupts + sim::n5::kInterruptQsetCount, 0x80000000);
    const std::string out = RunOnNic0({"-u", "intr"});
    size_t blocks = 0;
    for (size_t at = out.find("dpc_cpu"); at != std::string::npos; at = out.find("dpc_cpu", at + 1)) ++blocks;
    EXPECT_EQ(blocks, 8u);
    EXPECT_EQ(out.substr(0, global.size()), global);
}

TEST_F(ReportsRunTest, ToeShowsOnlyPortsWithFunctionsAndNoMoreThanTheRecordHolds) {
    uint8_t* toe = Stats().offload;
    Put32(toe + sim::n5::kOffloadFunctionCount, 0);  // port 0
    std::string out = RunOnNic0({"-u", "toe"});
    EXPECT_EQ(out.find("Port : \t\t0\n"), std::string::npos);
    EXPECT_NE(out.find("Port : \t\t1\nFunc : \t\t0\n"), std::string::npos);
    EXPECT_EQ(out.find("Func : \t\t1\n"), std::string::npos);

    Put32(toe + sim::n5::kOffloadPortCount, 9);
    Put32(toe + sim::n5::kOffloadFunctionCount, 1000);
    Put32(toe + sim::n5::kOffloadFunctionCount + 4, 1000);
    out = RunOnNic0({"-u", "toe"});
    size_t functions = 0;
    for (size_t at = out.find("Func : "); at != std::string::npos; at = out.find("Func : ", at + 1))
        ++functions;
    EXPECT_EQ(functions, 6u) << "two ports of three functions";
    const std::string last = "Func : \t\t2\n";
    ASSERT_NE(out.rfind(last), std::string::npos);
    EXPECT_EQ(out.substr(out.rfind(last)).find("Port"), std::string::npos)
        << "nothing after port 1's third function";
}

TEST_F(ReportsRunTest, PipelineCountersAreEachReadOnceAndShowTheValueRead) {
    // Two requests per counter (index write, data read) and no more: a second read would show the
    // value the first one cleared.
    uint64_t requests = adapter_->state().counters.requests;
    EXPECT_TRUE(qv::testing::SameText(Golden("sge"), RunOnNic0({"-u", "sge"})));
    EXPECT_EQ(adapter_->state().counters.requests - requests, 2u * PipelineCounterLabels().size());
    std::string zeros;
    for (const char* label : PipelineCounterLabels()) zeros += std::string(label) + "0\n";
    EXPECT_EQ(RunOnNic0({"-u", "sge"}), zeros);

    const std::pair<uint32_t, const char*> set[] = {{3, "ulp_tx_eops : \t\t ABC\n"},
                                                    {27, "rx_data_sz : \t\t 1\n"},
                                                    {28, "cim_data_f0 : \t\t 55\n"},
                                                    {29, "cim_data_f1 : \t\t FFFFFFFF\n"}};
    Stats().pipeline[3] = 0xABC;
    Stats().pipeline[27] = 1;
    Stats().pipeline[28] = 0x55;
    Stats().pipeline[29] = 0xFFFFFFFF;
    const std::string out = RunOnNic0({"-u", "sge"});
    for (const auto& [index, line] : set) {
        EXPECT_NE(out.find(line), std::string::npos) << index;
        EXPECT_EQ(Stats().pipeline[index], 0u) << "cleared by its read";
    }
}

TEST_F(ReportsRunTest, PipelineCounterThatCannotBeReadIsLeftOut) {
    // Two requests per counter (index write, data read): the fifth is counter 2's index write.
    adapter_->FailRequestAfter(5);
    const std::string out = RunOnNic0({"-u", "sge"});
    const std::string golden = Golden("sge");
    const std::string line = "ulp_tx_sops : \t\t 1B22\n";
    ASSERT_NE(golden.find(line), std::string::npos);
    EXPECT_EQ(out, std::string(golden).erase(golden.find(line), line.size()));
}

TEST_F(ReportsRunTest, WtfAsksPortZeroAgainWhenTheFirstSlotFindsNothing) {
    adapter_->SetFunctionFails(11, true);  // no MAC record in either slot
    adapter_->FailRequestAfter(1);         // slot 0's port request fails too
    const uint64_t before = Requests(10);
    const std::string out = RunOnNic0({"-u", "wtf"});
    EXPECT_EQ(Requests(10) - before, 2u);
    EXPECT_EQ(out.substr(0, out.find('\n') + 1),
              "*************** iface1 = mac0, iface2 = mac0, ports = 1 ********************\n");
    // Port 0 is shown with what slot 1 found: its link and its words (0xBA8, 0xBAC).
    EXPECT_NE(out.find("                                 <- <-        0 <-|XGMAC0|<-   cc|  d1 <-|T|\n"
                       "                            link up ->        0 ->|      |->  114|  ff ->|P|\n"),
              std::string::npos);
    EXPECT_EQ(out.find("XGMAC1"), std::string::npos);
}

TEST_F(ReportsRunTest, WtfShowsALinkDownAndNothingWhenAWordCannotBeRead) {
    Put32(Stats().portLink[1] + sim::n5::kPortLinkStatus, 0);
    const std::string out = RunOnNic0({"-u", "wtf"});
    EXPECT_NE(out.find("                                  | <-    e1023 <-|XGMAC1|<-   cc|  d1 <-|T|\n"
                       "                          link down ->   10dd4b ->|      |->  114|  ff ->|P|\n"),
              std::string::npos);
    adapter_->SetRegisterReadFails(0xBAC, true);
    EXPECT_EQ(RunOnNic0({"-u", "wtf"}), "");
}

TEST_F(ReportsRunTest, ConnectionWithoutSocketPrintsOnlyItsAddress) {
    EXPECT_EQ(RunOnNic0({"-s", "chim9", "0"}), "chim9 : 00:00:00:00:00:00\n");
    Stats().connections[9] = {0x7FFFFFFF, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}, {}};
    EXPECT_EQ(RunOnNic0({"-s", "CHIM9", "0"}), "chim9 : aa:bb:cc:dd:ee:ff\nsocket tid:2147483647\n");
}

TEST_F(ReportsRunTest, UnitNamesMatchWithoutCaseAndUnknownOnesPrintNothing) {
    EXPECT_EQ(RunOnNic0({"-u", "TcP"}), Golden("tcp"));
    EXPECT_EQ(RunOnNic0({"-u", "foo"}), "");
    EXPECT_EQ(RunOnNic0({"-u", "ph"}), "");
    EXPECT_EQ(RunOnNic0({"-u", "mac"}), RunOnNic0({"-u", "mac0"})) << "no number reads as 0";
}

}  // namespace
}  // namespace qv::qvtool
