// The statistics records byte by byte, the line tables' invariants (every field inside its record,
// in record order, no two lines on one field), and the printing of a table from raw bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {
namespace {

template <typename Record>
std::vector<uint8_t> Bytes(const Record& record) {
    const auto bytes = RecordBytes(record);
    return {bytes.begin(), bytes.end()};
}

TEST(StatisticsRecords, FieldsLandAtTheirOffsetsLittleEndian) {
    PortLinkRecord link{0x01020304, 3, 1, 0xAABBCCDD};
    EXPECT_EQ(Bytes(link),
              (std::vector<uint8_t>{4, 3, 2, 1, 3, 0, 0, 0, 1, 0, 0, 0, 0xDD, 0xCC, 0xBB, 0xAA}));

    ConnectionStatsRecord chim{7, 0x11223344, {1, 2, 3, 4, 5, 6}, {0, 0}};
    EXPECT_EQ(Bytes(chim),
              (std::vector<uint8_t>{7, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 1, 2, 3, 4, 5, 6, 0, 0}));

    MacStatsRecord mac{};
    mac.counters[kMacRxFrames] = 0x0102030405060708;
    EXPECT_EQ(Bytes(mac)[168], 0x08);
    EXPECT_EQ(Bytes(mac)[175], 0x01);

    InterruptStatsRecord intr{};
    intr.perQset[18][7] = 0xFF;  // d_rx_return_stalls of queue set 7: the last array's last element
    intr.linkDownMacResets = 0x22;
    EXPECT_EQ(Bytes(intr)[288 + 64 * 18 + 56], 0xFF);
    EXPECT_EQ(Bytes(intr)[1504], 0x22);

    OffloadStatsRecord toe{};
    toe.perFunction[9][1][2] = 0x33;  // func_tx_fwds_completed of port 1, function 2
    EXPECT_EQ(Bytes(toe)[296 + 12 + 8], 0x33);
}

TEST(StatisticsRecords, CodesOfFunctionsTenToSeventeen) {
    EXPECT_EQ(IoControlCode(IoFunction::kPortLink), 0x68000028u);
    EXPECT_EQ(IoControlCode(IoFunction::kMacStats), 0x6800002Cu);
    EXPECT_EQ(IoControlCode(IoFunction::kQsetStats), 0x68000030u);
    EXPECT_EQ(IoControlCode(IoFunction::kInterruptStats), 0x68000034u);
    EXPECT_EQ(IoControlCode(IoFunction::kIpStats), 0x68000038u);
    EXPECT_EQ(IoControlCode(IoFunction::kTcpStats), 0x6800003Cu);
    EXPECT_EQ(IoControlCode(IoFunction::kOffloadStats), 0x68000040u);
    EXPECT_EQ(IoControlCode(IoFunction::kConnectionStats), 0x68000044u);
}

struct TableCase {
    const char* name;
    std::span<const CounterLine> lines;
    size_t recordSize;
    size_t firstOffset;
    size_t valueLines;
};

class LineTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(LineTables, FieldsLieInsideTheRecordInOrderAndDoNotOverlap) {
    const TableCase& t = GetParam();
    size_t next = t.firstOffset;
    size_t values = 0;
    for (const CounterLine& line : t.lines) {
        const uint32_t width = FieldWidth(line.format);
        if (width == 0) continue;
        ++values;
        EXPECT_GE(line.offset, next) << line.label;
        EXPECT_EQ(line.offset % width, 0u) << line.label;
        EXPECT_LE(line.offset + width, t.recordSize) << line.label;
        next = line.offset + width;
        EXPECT_EQ(std::string(line.label).find('%'), std::string::npos) << line.label;
    }
    EXPECT_EQ(values, t.valueLines);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, LineTables,
    ::testing::Values(TableCase{"mac", MacCounterLines(), sizeof(MacStatsRecord), 16, 44},
                      TableCase{"qset", QsetCounterLines(), sizeof(QsetStatsRecord), 4, 93},
                      TableCase{"ip", IpCounterLines(), sizeof(IpStatsRecord), 0, 13},
                      TableCase{"tcp", TcpCounterLines(), sizeof(TcpStatsRecord), 0, 14},
                      TableCase{"intr", IntrCounterLines(), sizeof(InterruptStatsRecord), 0, 24},
                      TableCase{"toe", OffloadCounterLines(), 60, 0, 15},
                      TableCase{"intr_qs", IntrQsetLines(), sizeof(InterruptStatsRecord) - 8, 288, 19},
                      TableCase{"toe_func", OffloadFunctionLines(), sizeof(OffloadStatsRecord), 80, 10}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LineTables, PrintingReadsEachWidthAndSkipsFieldsPastTheRecord) {
    const CounterLine lines[] = {
        {"head", 0, FieldFormat::kHeading},    {"u64 : ", 0, FieldFormat::kU64},
        {"low : ", 0, FieldFormat::kU64Low32}, {"u32 : ", 8, FieldFormat::kU32},
        {"i32 : ", 8, FieldFormat::kI32},      {"past : ", 12, FieldFormat::kU64},
    };
    const uint8_t record[16] = {0x01, 0, 0, 0, 0x02, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    PrintCounterLines(out, record, lines);
    PrintCounterLines(out, std::span(record, 10), lines);  // the u32 at 8 no longer fits
    std::rewind(out);
    std::string text;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) text += static_cast<char>(c);
    std::fclose(out);
    EXPECT_EQ(text,
              "head\nu64 : 8589934593\nlow : 1\nu32 : 4294967294\ni32 : -2\n"
              "head\nu64 : 8589934593\nlow : 1\n");
}

TEST(LineTables, CountersAreFoundByTheirLabelsName) {
    const CounterLine* line = FindCounterLine(MacCounterLines(), "rx_frames");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->offset, 168);
    line = FindCounterLine(QsetCounterLines(), "door_bells");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->offset, 48) << "the first queue's";
    EXPECT_EQ(FindCounterLine(IntrCounterLines(), "sge:"), nullptr) << "headings are no counters";
    EXPECT_EQ(CounterName(PipelineCounterLabels()[20]), "cpl_rxpkt_drops");
}

}  // namespace
}  // namespace qv::qvtool
