// Consistency of the register map tables and of field extraction.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qv/regmap/map.h"

namespace qv::regmap {
namespace {

struct ExpectedBlock {
    const char* name;
    uint32_t first;
    uint32_t last;
    size_t registers;
};

constexpr ExpectedBlock kExpectedBlocks[] = {
    {"sge3", 0x000, 0x07C, 25},      {"n5dbg", 0x0C0, 0x0F0, 13},   {"mc7_pmrx", 0x100, 0x17C, 31},
    {"mc7_pmtx", 0x180, 0x1FC, 31},  {"mc7_cm", 0x200, 0x27C, 31},  {"cim", 0x280, 0x2D0, 19},
    {"tp1", 0x300, 0x488, 81},       {"ulp2_rx", 0x500, 0x540, 17}, {"ulp2_tx", 0x580, 0x5A8, 10},
    {"pm1_rx", 0x5C0, 0x5DC, 8},     {"pm1_tx", 0x5E0, 0x5FC, 8},   {"mps0", 0x600, 0x620, 7},
    {"cpl_switch", 0x640, 0x65C, 8}, {"smb0", 0x660, 0x694, 14},    {"i2cm0", 0x6A0, 0x6A8, 3},
    {"mi1", 0x6B0, 0x6BC, 4},        {"sf1", 0x6D8, 0x6DC, 2},      {"pl3", 0x6E0, 0x6F8, 7},
    {"mc5a", 0x700, 0x7FC, 4},
};

TEST(RegisterMapTables, BlocksInDecodeOrderWithTheirRangesAndRegisterCounts) {
    const auto blocks = RegisterBlocks();
    ASSERT_EQ(blocks.size(), std::size(kExpectedBlocks));
    for (size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE(kExpectedBlocks[i].name);
        EXPECT_STREQ(blocks[i]->name, kExpectedBlocks[i].name);
        EXPECT_EQ(blocks[i]->firstOffset, kExpectedBlocks[i].first);
        EXPECT_EQ(blocks[i]->lastOffset, kExpectedBlocks[i].last);
        EXPECT_EQ(blocks[i]->registers.size(), kExpectedBlocks[i].registers);
    }
}

TEST(RegisterMapTables, RegistersAscendAlignedInsideTheirBlockAndBlocksDoNotOverlap) {
    uint32_t previousBlockEnd = 0;
    bool firstBlock = true;
    for (const Block* block : RegisterBlocks()) {
        SCOPED_TRACE(block->name);
        EXPECT_LE(block->firstOffset, block->lastOffset);
        if (!firstBlock) {
            EXPECT_GT(block->firstOffset, previousBlockEnd);
        }
        firstBlock = false;
        previousBlockEnd = block->lastOffset;
        ASSERT_FALSE(block->registers.empty());
        EXPECT_EQ(block->registers.front().offset, block->firstOffset);
        for (size_t i = 0; i < block->registers.size(); ++i) {
            const Register& reg = block->registers[i];
            SCOPED_TRACE(reg.name);
            EXPECT_EQ(reg.offset % 4, 0u);
            EXPECT_GE(reg.offset, block->firstOffset);
            EXPECT_LE(reg.offset, block->lastOffset);
            if (i > 0) {
                EXPECT_GT(reg.offset, block->registers[i - 1].offset);
            }
            ASSERT_NE(reg.name, nullptr);
            EXPECT_GT(std::strlen(reg.name), 0u);
        }
    }
}

TEST(RegisterMapTables, FieldsLieInsideTheirRegister) {
    size_t fields = 0;
    for (const Block* block : RegisterBlocks()) {
        for (const Register& reg : block->registers) {
            for (const Field& field : reg.fields) {
                SCOPED_TRACE(std::string(block->name) + "." + reg.name + "." + field.name);
                EXPECT_GE(field.width, 1u);
                EXPECT_LE(field.lowBit + field.width, 32u);
                ++fields;
            }
        }
    }
    EXPECT_EQ(fields, 1334u);
}

TEST(FieldExtraction, ShiftsAndMasksWithoutOverflow) {
    EXPECT_EQ(FieldValue(0xFFFFFFFFu, Field{"all", 0, 32}), 0xFFFFFFFFu);
    EXPECT_EQ(FieldValue(0x12345678u, Field{"all", 0, 32}), 0x12345678u);
    EXPECT_EQ(FieldValue(0x80000000u, Field{"top", 31, 1}), 1u);
    EXPECT_EQ(FieldValue(0x7FFFFFFFu, Field{"top", 31, 1}), 0u);
    EXPECT_EQ(FieldValue(0xFFFFFFFFu, Field{"low31", 0, 31}), 0x7FFFFFFFu);
    EXPECT_EQ(FieldValue(0xABCD1234u, Field{"mid", 8, 12}), 0xD12u);
    EXPECT_EQ(FieldValue(0xFFFFFFFFu, Field{"bad", 40, 1}), 0u);
    constexpr Field kRange = Bits("r", 26, 20);
    static_assert(kRange.lowBit == 20 && kRange.width == 7);
    static_assert(FieldValue(0x5A31ABCDu, kRange) == 0x23);
}

}  // namespace
}  // namespace qv::regmap
