// -q and -Q through whole runs of the tool on the simulated adapter: which context each name
// reads, what is printed, the descriptor dump's bounds, failures, and the end of the run after -Q.
#include <gtest/gtest.h>

#include <cstring>

#include "capture.h"
#include "chip_fixture.h"
#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/runner.h"

namespace qv::qvtool {
namespace {

using test::ChipTest;

TEST_F(ChipTest, ContextsOnThePowerOnAdapter) {
    std::string text;
    for (const char* name : {"tun0", "TOE3", "ctrl7", "flq0", "rspq2", "qp9"}) {
        text += std::string("== -q ") + name + " -f\n" + RunOnNic0({"-f", "-q", name});
    }
    EXPECT_TRUE(qv::testing::MatchesGolden(text, Golden("contexts.txt")));
}

// Each name reads the context of its type and id; the title tells the id.
TEST_F(ChipTest, NamesSelectTypeAndId) {
    const struct {
        const char* name;
        const char* title;
        uint32_t type, id;
    } cases[] = {
        {"tun0", "\nTunnel context id = 8\n", 0, 8},
        {"tun7", "\nTunnel context id = 15\n", 0, 15},
        {"toe0", "\nCommand context id = 0\n", 1, 0},
        {"toe9", "\nTunnel context id = 9\n", 0, 9},
        {"ctrl0", "\nControl context id = 65528\n", 2, 0xFFF8},
        {"rspq7", "\nResponse queue context id = 7\n", 4, 7},
        {"qp3", "", 0, 3},
    };
    for (const auto& c : cases) {
        chip().lastContextType = 99;
        const std::string out = RunOnNic0({"-q", c.name});
        EXPECT_EQ(out.substr(0, std::strlen(c.title)), c.title) << c.name;
        EXPECT_NE(out.find("cntxt.f1 = 0x"), std::string::npos) << c.name;
        EXPECT_EQ(chip().lastContextType, c.type) << c.name;
        EXPECT_EQ(chip().lastContextId, c.id) << c.name;
    }
}

TEST_F(ChipTest, FreeListsOfAQsetAreTwoContexts) {
    const uint64_t before = Requests(9);
    const std::string out = RunOnNic0({"-q", "flq8"});
    EXPECT_EQ(Requests(9) - before, 2u);
    EXPECT_EQ(chip().lastContextType, 3u);
    EXPECT_EQ(chip().lastContextId, 17u);
    EXPECT_EQ(out.rfind("\nFree list queue context id = 16\ncntxt.f0 = 0x", 0), 0u);
    EXPECT_NE(out.find("\nFree list queue context id = 17\ncntxt.f0 = 0x"), std::string::npos);
}

TEST_F(ChipTest, IdsOutsideTheQueuesAreRefusedWithoutARequest) {
    const uint64_t before = Requests(9);
    for (const char* name : {"flq9", "rspq8", "toe16", "tun65535"}) {
        EXPECT_EQ(RunOnNic0({"-q", name}), "\nContext ID is not valid\n") << name;
    }
    EXPECT_EQ(RunOnNic0({"-q", "sge0"}), "");
    EXPECT_EQ(Requests(9), before);
}

TEST_F(ChipTest, FailedContextReadsPrintTheirMessage) {
    adapter_->SetFunctionFails(9, true);
    const struct {
        const char* name;
        const char* out;
    } cases[] = {
        {"tun2", "\nTunnel context id = 10\nEgress queue 10 context read error. status = 0x00000000\n"},
        {"ctrl1",
         "\nControl context id = 65529\nEgress queue 65529 context read error. status = 0x00000000\n"},
        {"qp4", "Egress queue 4 context read error. status = 0x00000000\n"},
        {"flq1", "Free list 2 context read error. status = 0x00000000\n"},
        {"rspq1",
         "\nResponse queue context id = 1\nresponse queue 1 context read error. status = 0x00000000\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(RunOnNic0({"-q", c.name, "-f"}), c.out) << c.name;
}

TEST_F(ChipTest, FreeListStopsAtTheFirstFailedRead) {
    adapter_->FailRequestAfter(2);  // the second free list's read
    const std::string out = RunOnNic0({"-q", "flq3"});
    EXPECT_EQ(out.rfind("\nFree list queue context id = 6\n", 0), 0u);
    EXPECT_EQ(out.substr(out.size() - 52), "Free list 7 context read error. status = 0x00000000\n");
}

TEST_F(ChipTest, DescriptorsOnThePowerOnAdapter) {
    std::string text;
    for (const char* queue : {"tun0", "toe1", "ctrl2", "rspq3", "flq14", "FLQ27"}) {
        text += std::string("== -Q ") + queue + " 0 2\n" + RunOnNic0({"-Q", queue, "0", "2"});
    }
    EXPECT_TRUE(qv::testing::MatchesGolden(text, Golden("descriptors.txt")));
}

// The queue number is queue set * 6 + kind; the index is the driver's slot.
TEST_F(ChipTest, DescriptorQueueNumberAndIndex) {
    chip().descriptors[3 * 6 + 2][5] = {8, {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17}};
    EXPECT_EQ(RunOnNic0({"-Q", "ctrl3", "5", "1"}),
              "Descriptor 5: cmd 16, TID 267542, SGL, 23 flits\n1011121314151617\n");
}

TEST_F(ChipTest, DescriptorCountBelowOneAndUnknownQueuesPrintNothing) {
    const uint64_t before = Requests(30);
    EXPECT_EQ(RunOnNic0({"-Q", "tun0", "0", "0"}), "");
    EXPECT_EQ(RunOnNic0({"-Q", "tun0", "3", "-2"}), "");
    EXPECT_EQ(RunOnNic0({"-Q", "qs0", "0", "4"}), "");
    EXPECT_EQ(Requests(30), before);
}

TEST_F(ChipTest, DescriptorReadFailureEndsTheDump) {
    // Indexes past the simulated queue's kept descriptors are refused by the driver.
    const std::string out = RunOnNic0({"-Q", "rspq1", "15", "3"});
    EXPECT_EQ(out.substr(0, 14), "Descriptor 15:");
    EXPECT_EQ(out.substr(out.find('\n', out.find('\n') + 1) + 1),
              "SGE descriptor qset 1 qnum 3 read error. status = 0x00000000\n");
    adapter_->SetFunctionFails(30, true);
    EXPECT_EQ(RunOnNic0({"-Q", "flq22", "0", "4"}),
              "SGE descriptor qset 2 qnum 5 read error. status = 0x00000000\n");
}

// -Q is the last step of a run: the queue context before it runs, the EEPROM dump after it not.
TEST_F(ChipTest, DescriptorDumpEndsTheRun) {
    ParsedOptions o;
    o.queueContext = {true, "rspq0"};
    o.descriptors = {true, "tun0", 0, 1};
    o.eepromDump = {true, "vpd", ""};
    AdapterConnection connection;
    const std::string text = test::Capture([&](std::FILE* out) {
        if (!OpenAdapter(0, &connection, out)) return;
        RunRequestedOperations(o, connection.device, out, nullptr);
        CloseAdapter(&connection);
    });
    EXPECT_EQ(text.rfind("\nResponse queue context id = 0\n", 0), 0u);
    EXPECT_NE(text.find("Descriptor 0:"), std::string::npos);
    EXPECT_EQ(text.find("buf_size"), std::string::npos);
}

}  // namespace
}  // namespace qv::qvtool
