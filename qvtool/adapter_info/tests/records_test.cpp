// The records of functions 26, 28, 29 and 31 byte by byte, and the walk over a trace buffer that
// the driver filled, well or badly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "qv/qvtool/adapter_info/info_records.h"
#include "qv/qvtool/adapter_info/trace_buffer.h"
#include "qv/qvtool/ioctl_records.h"
#include "qv/testing/bytes.h"

namespace qv::qvtool {
namespace {

using qv::testing::RecordBytes;
using Bytes = std::vector<uint8_t>;

TEST(InfoRecords, FieldsSitWhereTheDriverReadsThem) {
    EXPECT_EQ(RecordBytes(VersionInfoRecord{{1, 0x0203, 0x04050607, 0xFF}}),
              (Bytes{1, 0, 0, 0, 3, 2, 0, 0, 7, 6, 5, 4, 0xFF, 0, 0, 0}));
    EXPECT_EQ(RecordBytes(QsetParamRecord{7, 1, 4, 0xAABBCCDD}),
              (Bytes{7, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(RecordBytes(PortIdentifyRecord{-2}), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    // Distance, number, reserved, then the two signed fields.
    EXPECT_EQ(RecordBytes(TraceEntryHeader{0x28, 3, 0, -1, 0x0102}),
              (Bytes{0x28, 0,    0,    0,    0,    0,    0,    0,    3, 0, 0, 0, 0, 0, 0, 0,
                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 2, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(InfoRecords, CodesAreFourTimesTheFunction) {
    EXPECT_EQ(IoControlCode(IoFunction::kVersionInfo), 0x68000068u);
    EXPECT_EQ(IoControlCode(IoFunction::kTraceBuffer), 0x68000070u);
    EXPECT_EQ(IoControlCode(IoFunction::kQsetParam), 0x68000074u);
    EXPECT_EQ(IoControlCode(IoFunction::kPortIdentify), 0x6800007Cu);
}

// Appends one entry: the header with `distance`, the message with its terminator when `terminated`,
// zero padding up to `distance` bytes when it is larger.
void Append(std::vector<uint8_t>* b, uint64_t distance, uint32_t number, const std::string& message,
            bool terminated = true) {
    const size_t start = b->size();
    const TraceEntryHeader h{distance, number, 0, -5, 42};
    b->insert(b->end(), reinterpret_cast<const uint8_t*>(&h),
              reinterpret_cast<const uint8_t*>(&h) + sizeof h);
    b->insert(b->end(), message.begin(), message.end());
    if (terminated) b->push_back(0);
    if (distance < (1u << 16) && b->size() < start + distance) b->resize(start + distance, 0);
}

std::vector<std::string> Messages(const std::vector<uint8_t>& buffer) {
    std::vector<std::string> messages;
    for (const TraceEntry& e : ParseTraceBuffer(buffer)) messages.emplace_back(e.message);
    return messages;
}

TEST(TraceBuffer, EntriesEndAtTheEndMarkOrAtTheFirstEntryThatDoesNotFit) {
    using Strings = std::vector<std::string>;
    std::vector<uint8_t> b;
    // Two entries and the end mark; anything after the mark is not read.
    Append(&b, 40, 0, "one");
    Append(&b, 48, 1, "second");
    Append(&b, 0, 0, "");
    Append(&b, 40, 2, "after");
    EXPECT_EQ(Messages(b), (Strings{"one", "second"}));

    b.clear();
    Append(&b, 0, 0, "not printed");
    EXPECT_EQ(Messages(b), Strings{}) << "a first distance of 0";

    const uint64_t kBadDistances[] = {32, 8, 1, 1000, ~0ull, ~0ull - 20};
    for (const uint64_t bad : kBadDistances) {
        b.clear();
        Append(&b, 40, 0, "kept");
        Append(&b, bad, 1, "bad");
        b.resize(200, 0);
        EXPECT_EQ(Messages(b), Strings{"kept"}) << "distance " << bad;
    }

    EXPECT_EQ(Messages({}), Strings{});
    EXPECT_EQ(Messages({40, 0, 0, 0}), Strings{}) << "no room for the distance";
    b.clear();
    Append(&b, 40, 0, "x");
    b.resize(20);
    EXPECT_EQ(Messages(b), Strings{}) << "a header cut by the buffer's end";
}

TEST(TraceBuffer, AMessageWithoutItsTerminatorIsCutAtTheBuffersEnd) {
    std::vector<uint8_t> b;
    Append(&b, 40, 0, "first");
    Append(&b, 32 + 10, 1, std::string(10, 'z'), false);  // ends exactly at the buffer's end
    ASSERT_EQ(b.size(), 82u);
    const auto entries = ParseTraceBuffer(b);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].message, std::string(10, 'z'));
    // A terminator beyond the entry but inside the buffer still ends the message there.
    b.clear();
    Append(&b, 40, 0, "spills over", true);
    b.resize(64, 0);
    EXPECT_EQ(Messages(b), std::vector<std::string>{"spills over"});
}

TEST(TraceBuffer, LinesShowTheFieldsSignedAndPadded) {
    const TraceEntry entries[] = {{3, 1200000, -2, "rspq3: ok"}, {0xFFFFFFFF, -123456789012, 7, ""}};
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    PrintTraceEntries(entries, f);
    std::rewind(f);
    char text[256] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n),
              "3  : 1200000    : -2       : rspq3: ok\n-1 : -123456789012 : 7        : \n");
}

}  // namespace
}  // namespace qv::qvtool
