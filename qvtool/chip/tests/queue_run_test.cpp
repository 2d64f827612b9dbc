// -q and -Q through whole runs of the tool on the simulated adapter: which context each name
// reads, what is printed, the descriptor dump's bounds, failures, and the end of the run after -Q.
#include <gtest/gtest.h>

#include <cstring>

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

TEST_F(ChipTest, RawWordsAreTheDriversAnswer) {
    chip().egress[9] = {0x0123456789ABCDEFull, 0xFEDCBA9876543210ull};
    EXPECT_EQ(RunOnNic0({"-q", "tun1"}),
              "\nTunnel context id = 9\ncntxt.f0 = 0x0123456789ABCDEF\ncntxt.f1 = 0xFEDCBA9876543210\n");
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

TEST_F(ChipTest, DescriptorQueueNumberAndRun) {
    sim::n5::Descriptor& d = chip().descriptors[3 * 6 + 2][5];
    d.length = 64;
    for (size_t i = 0; i < 64; ++i) d.data[i] = static_cast<uint8_t>(0x10 + i);
    const std::string out = RunOnNic0({"-Q", "ctrl3", "5", "1"});
    EXPECT_EQ(out,
              "Descriptor 5: cmd 16, TID 267542, SGL, 23 flits\n"
              "1011121314151617 18191A1B1C1D1E1F 2021222324252627 28292A2B2C2D2E2F\n"
              "3031323334353637 38393A3B3C3D3E3F 4041424344454647 48494A4B4C4D4E4F\n");
}

TEST_F(ChipTest, DescriptorLengthsBeyondTheRecordAreCut) {
    chip().descriptors[0][0].length = 0xFFFFFFF0;
    chip().descriptors[0][1].length = 13;
    const std::string out = RunOnNic0({"-Q", "tun0", "0", "2"});
    const size_t second = out.find("Descriptor 1:");
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(second, out.find('\n') + 1 + 16 * 17) << "sixteen words of the first descriptor";
    EXPECT_EQ(out.size() - out.find('\n', second) - 1, 17u) << "one word of the second";
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
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(OpenAdapter(0, &connection, out));
    RunRequestedOperations(o, connection.device, out, nullptr);
    CloseAdapter(&connection);
    std::string text(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    EXPECT_EQ(text.rfind("\nResponse queue context id = 0\n", 0), 0u);
    EXPECT_NE(text.find("Descriptor 0:"), std::string::npos);
    EXPECT_EQ(text.find("buf_size"), std::string::npos);
}

}  // namespace
}  // namespace qv::qvtool
