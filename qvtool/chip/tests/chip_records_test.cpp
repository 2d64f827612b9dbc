// The context and descriptor records byte by byte, and the decoding of what
// the driver returns: context fields bit by bit, descriptor headers and lengths.
#include "qv/qvtool/chip/chip_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "capture.h"
#include "qv/qvtool/chip/descriptors.h"
#include "qv/qvtool/chip/queue_context.h"

namespace qv::qvtool {
namespace {

using test::Capture;

TEST(ChipRecords, ContextRecordIsTypeIdThenTwoWordsLittleEndian) {
    const ContextRecord record{kContextFreeList, 0x11223344, 0x0102030405060708ull, 0xA1A2A3A4A5A6A7A8ull};
    const uint8_t expected[24] = {3, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 8,    7,    6,    5,
                                  4, 3, 2, 1, 0xA8, 0xA7, 0xA6, 0xA5, 0xA4, 0xA3, 0xA2, 0xA1};
    EXPECT_EQ(std::memcmp(&record, expected, sizeof expected), 0);
}

TEST(ChipRecords, DescriptorRecordIsQueueIndexLengthThenData) {
    const DescriptorRecord record{0x0102, 0x0304, 0x40, {0xEE}};
    const uint8_t expected[13] = {2, 1, 0, 0, 4, 3, 0, 0, 0x40, 0, 0, 0, 0xEE};
    EXPECT_EQ(std::memcmp(&record, expected, sizeof expected), 0);
}

// Each context below has every field at a value that tells its bits apart from its neighbours'.
TEST(ContextFields, EgressFieldsFromTheirBits) {
    const ContextRecord c{0, 8, 0x80000D5A00012345ull, 0xABCD040000118123ull};
    EXPECT_EQ(Capture([&](std::FILE* f) { PrintEgressFields(c, f); }),
              "valid = 1\nup_token = 0x00001\ngeneration = 1\ntoe = 0\ntun = 1\ncq_num = 0\nrq_num = 5\n"
              "base_addr = 0xA00012345ABCD000\nsize = 1024\nindex = 17\ngts_enable = 1\ncredits = 291\n");
}

TEST(ContextFields, FreeListFieldsFromTheirBits) {
    const ContextRecord c{3, 0, 0x2020000340310047ull, 0x123000459ABCDEF0ull};
    EXPECT_EQ(Capture([&](std::FILE* f) { PrintFreeListFields(c, f); }),
              "congestion_th = 257\nentry_sz  = 6657\ngeneration  = 1\nsize  = 4100\nindex  = 28963\n"
              "base_addr = 0x000459ABCDEF0000\n");
}

TEST(ContextFields, ResponseFieldsFromTheirBits) {
    const ContextRecord c{4, 0, 0xFFFFFFFFAC500012ull, 0x00ABCDEF02000033ull};
    EXPECT_EQ(Capture([&](std::FILE* f) { PrintResponseFields(c, f); }),
              "fl_thresh = -1\ncq_mode = 1\ninton = 1\ngeneration = 0\nint_armed = 1\nint_enable = 1\n"
              "rsp_q = 5\nbase_addr = 0x0001200ABCDEF000\nsize = 512\nindex = 51\n");
}

DescriptorRecord Descriptor(uint32_t length) {
    DescriptorRecord d{};
    d.length = length;
    const uint8_t header[8] = {0x0B, 0xD0, 0x00, 0x00, 0x0A, 0xBC, 0xDE, 0x08};
    std::memcpy(d.data, header, sizeof header);
    for (size_t i = 8; i < kDescriptorDataBytes; ++i) d.data[i] = static_cast<uint8_t>(i);
    return d;
}

TEST(DescriptorPrint, HeaderFieldsAndFlags) {
    EXPECT_EQ(Capture([](std::FILE* f) { PrintDescriptor(7, Descriptor(0), f); }),
              "Descriptor 7: cmd 11, TID 703710, SOP, EOP, SGL, 8 flits\n");
    DescriptorRecord compl_only = Descriptor(0);
    compl_only.data[1] = 0x20;
    EXPECT_EQ(Capture([&](std::FILE* f) { PrintDescriptor(0, compl_only, f); }),
              "Descriptor 0: cmd 11, TID 703710, COMPL, 8 flits\n");
}

// The length the driver returns decides the words printed: whole words only, never past the
// record's 128 data bytes; a line holds four words and the last word ends the last line.
TEST(DescriptorPrint, LengthBoundsTheWords) {
    const struct {
        uint32_t length;
        size_t words;
        size_t lines;
    } cases[] = {{0, 0, 1},  {7, 0, 1},  {8, 1, 2},    {13, 1, 2},   {24, 3, 2},
                 {64, 8, 3}, {72, 9, 4}, {128, 16, 5}, {129, 16, 5}, {0xFFFFFFFF, 16, 5}};
    for (const auto& c : cases) {
        const std::string text = Capture([&](std::FILE* f) { PrintDescriptor(1, Descriptor(c.length), f); });
        const size_t header = text.find('\n') + 1;
        const std::string words = text.substr(header);
        EXPECT_EQ(words.size(), c.words * 17) << "length " << c.length;
        EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), c.lines)
            << "length " << c.length;
        if (c.words > 0) {
            EXPECT_EQ(text.back(), '\n') << "length " << c.length;
        }
    }
}

TEST(DescriptorPrint, SixtyFourBytesAreTwoLinesOfFourBigEndianWords) {
    EXPECT_EQ(Capture([](std::FILE* f) { PrintDescriptor(2, Descriptor(64), f); }),
              "Descriptor 2: cmd 11, TID 703710, SOP, EOP, SGL, 8 flits\n"
              "0BD000000ABCDE08 08090A0B0C0D0E0F 1011121314151617 18191A1B1C1D1E1F\n"
              "2021222324252627 28292A2B2C2D2E2F 3031323334353637 38393A3B3C3D3E3F\n");
    // Words that do not fill the last line: the line breaks fall so that the last word ends one.
    EXPECT_EQ(Capture([](std::FILE* f) { PrintDescriptor(2, Descriptor(40), f); }),
              "Descriptor 2: cmd 11, TID 703710, SOP, EOP, SGL, 8 flits\n"
              "0BD000000ABCDE08\n"
              "08090A0B0C0D0E0F 1011121314151617 18191A1B1C1D1E1F 2021222324252627\n");
}

}  // namespace
}  // namespace qv::qvtool
