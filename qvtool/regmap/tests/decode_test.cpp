// Register decoders: dispatch by offset and block name, read failures, and the field line formats.
#include <gtest/gtest.h>

#include <string>

#include "decode_capture.h"

namespace qv::regmap::testing {
namespace {

constexpr PrintMode kOffsetWithFields{.wholeBlock = false, .expandFields = true};
constexpr PrintMode kBlockValues{.wholeBlock = true, .expandFields = false};
constexpr PrintMode kBlockWithFields{.wholeBlock = true, .expandFields = true};

const std::string kRule(50, '=');

size_t Count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// ---- dispatch by offset

TEST(RegisterDecodeByOffset, SerialFlashOpWithFields) {
    FakeRegisters regs;
    regs.values = {{0x6DC, 0x8000000Bu}};
    const std::string expected = "\nsf1:\n" + kRule + "\n" +
                                 "\nop:\noffset = 0x00000000000006DC size = 4 value = 0x8000000b\n"
                                 "op = 0x1\n"
                                 "bytecnt = 0x1\n"
                                 "cont = 0x1\n"
                                 "res0 = 0x0\n"
                                 "busy = 0x1\n" +
                                 kRule + "\n";
    EXPECT_EQ(Decode(0x6DC, nullptr, kOffsetWithFields, regs), expected);
    EXPECT_EQ(regs.reads, std::vector<uint32_t>{0x6DC});
}

TEST(RegisterDecodeByOffset, GapInsideARangePrintsOnlyHeaderAndFooter) {
    FakeRegisters regs;
    EXPECT_EQ(Decode(0x48, nullptr, kOffsetWithFields, regs), "\nsge3:\n" + kRule + "\n" + kRule + "\n");
    EXPECT_TRUE(regs.reads.empty());
}

TEST(RegisterDecodeByOffset, OffsetOutsideEveryRangePrintsNothing) {
    FakeRegisters regs;
    EXPECT_EQ(Decode(0x800, nullptr, kOffsetWithFields, regs), "");
    EXPECT_EQ(Decode(0x0B0, nullptr, kOffsetWithFields, regs), "");  // between sge3 and n5dbg
    EXPECT_EQ(Decode(0xFFFFFFFFu, nullptr, kOffsetWithFields, regs), "");
    EXPECT_TRUE(regs.reads.empty());
}

// Every register offset selects exactly its own block and its one register, including the first and
// last register of each range.
TEST(RegisterDecodeByOffset, EachRegisterOffsetSelectsOneRegister) {
    for (const Block* block : RegisterBlocks()) {
        for (const Register& reg : block->registers) {
            FakeRegisters regs;
            const std::string text = Decode(reg.offset, nullptr, kOffsetWithFields, regs);
            SCOPED_TRACE(std::string(block->name) + "." + reg.name);
            EXPECT_EQ(text.rfind("\n" + std::string(block->name) + ":\n", 0), 0u);
            EXPECT_EQ(Count(text, kRule), 2u);
            EXPECT_EQ(Count(text, "offset = 0x"), 1u);
            EXPECT_NE(text.find("\n" + std::string(reg.name) + ":\noffset = 0x"), std::string::npos);
            EXPECT_EQ(regs.reads, std::vector<uint32_t>{reg.offset});
        }
    }
}

// mc5a's range runs past its last register.
TEST(RegisterDecodeByOffset, EndOfARangeBeyondItsLastRegister) {
    FakeRegisters regs;
    EXPECT_EQ(Decode(0x7FC, nullptr, kOffsetWithFields, regs), "\nmc5a:\n" + kRule + "\n" + kRule + "\n");
}

TEST(RegisterDecodeByOffset, ControlValueOneSetsOnlyGlobalEnable) {
    FakeRegisters regs;
    regs.values = {{0x000, 0x00000001u}};
    const std::string text = Decode(0x000, nullptr, kOffsetWithFields, regs);
    EXPECT_NE(text.find("\nctrl:\noffset = 0x0000000000000000 size = 4 value = 0x00000001\n"),
              std::string::npos);
    EXPECT_NE(text.find("globalenable = 0x1\n"), std::string::npos);
    EXPECT_EQ(Count(text, " = 0x1\n"), 1u);
    EXPECT_EQ(Count(text, " = 0x0\n"), 14u);
}

TEST(RegisterDecodeByOffset, WideFieldsPrintWithoutLeadingZeros) {
    FakeRegisters regs;
    regs.values = {{0x114, 0xFFFFFFFFu}};  // mc7_pmrx pre: res0 30:0, busy 31
    const std::string text = Decode(0x114, nullptr, kOffsetWithFields, regs);
    EXPECT_NE(text.find("value = 0xffffffff\nres0 = 0x7FFFFFFF\nbusy = 0x1\n"), std::string::npos) << text;
}

// ---- dispatch by block name

TEST(RegisterDecodeByName, NameIsMatchedWithoutRegardToCase) {
    FakeRegisters lower;
    FakeRegisters upper;
    const std::string text = Decode(0, "sge3", kBlockWithFields, lower);
    EXPECT_EQ(text.rfind("\nsge3:\n", 0), 0u);
    EXPECT_EQ(Decode(0, "SGE3", kBlockWithFields, upper), text);
    EXPECT_EQ(Decode(0, "Tp1", kBlockValues, upper).rfind("\ntp1:\n", 0), 0u);
}

TEST(RegisterDecodeByName, ArgumentMustBeginWithTheBlockName) {
    FakeRegisters regs;
    EXPECT_EQ(Decode(0, "mc7", kBlockValues, regs), "");
    EXPECT_EQ(Decode(0, "", kBlockValues, regs), "");
    EXPECT_EQ(Decode(0, "sge", kBlockValues, regs), "");
    EXPECT_EQ(Decode(0, "xsge3", kBlockValues, regs), "");
    EXPECT_TRUE(regs.reads.empty());
    // Characters after the name do not matter.
    EXPECT_EQ(Decode(0, "CIMfoo", kBlockValues, regs), Decode(0, "cim", kBlockValues, regs));
}

TEST(RegisterDecodeByName, OneMemoryControllerOnly) {
    FakeRegisters regs;
    const std::string text = Decode(0, "mc7_cm", kBlockValues, regs);
    EXPECT_EQ(text.rfind("\nmc7_cm:\n", 0), 0u);
    EXPECT_EQ(Count(text, kRule), 2u);
    EXPECT_EQ(Count(text, "\nmc7_"), 1u);
    ASSERT_EQ(regs.reads.size(), 31u);
    EXPECT_EQ(regs.reads.front(), 0x200u);
    EXPECT_EQ(regs.reads.back(), 0x27Cu);
}

TEST(RegisterDecodeByName, BlockNameReadsEveryRegisterWhateverTheOffset) {
    FakeRegisters regs;
    const std::string text = Decode(0x800, "i2cm0", kBlockValues, regs);
    EXPECT_EQ(text, "\ni2cm0:\n" + kRule +
                        "\n"
                        "\ncfg:\noffset = 0x00000000000006A0 size = 4 value = 0xa6a6a6a0\n"
                        "\ndata:\noffset = 0x00000000000006A4 size = 4 value = 0xaaaaaaa4\n"
                        "\nop:\noffset = 0x00000000000006A8 size = 4 value = 0xaeaeaea8\n" +
                        kRule + "\n");
}

TEST(RegisterDecodeByName, BeginsWithBlockName) {
    EXPECT_TRUE(BeginsWithBlockName("sge3"));
    EXPECT_TRUE(BeginsWithBlockName("PL3"));
    EXPECT_TRUE(BeginsWithBlockName("mc7_pmrx2"));
    EXPECT_FALSE(BeginsWithBlockName("mc7"));
    EXPECT_FALSE(BeginsWithBlockName("all"));
    EXPECT_FALSE(BeginsWithBlockName("0x6DC"));
    EXPECT_FALSE(BeginsWithBlockName(""));
    EXPECT_FALSE(BeginsWithBlockName(nullptr));
}

// ---- failed reads

TEST(RegisterDecodeReadFailure, FailedRegisterIsLeftOut) {
    FakeRegisters regs;
    regs.failing = {0x6B4};
    const std::string text = Decode(0, "mi1", kBlockWithFields, regs);
    EXPECT_EQ(text.find("\naddr:\n"), std::string::npos);
    EXPECT_EQ(text.find("regaddr"), std::string::npos);
    EXPECT_NE(text.find("\ncfg:\n"), std::string::npos);
    EXPECT_NE(text.find("\ndata:\n"), std::string::npos);
    EXPECT_NE(text.find("\nop:\n"), std::string::npos);
    EXPECT_EQ(regs.reads.size(), 4u);
}

TEST(RegisterDecodeReadFailure, EveryReadFailingLeavesHeaderAndFooter) {
    FakeRegisters regs;
    regs.failing = {0x6D8, 0x6DC};
    EXPECT_EQ(Decode(0, "sf1", kBlockWithFields, regs), "\nsf1:\n" + kRule + "\n" + kRule + "\n");
    EXPECT_EQ(Decode(0x6DC, nullptr, kOffsetWithFields, regs), "\nsf1:\n" + kRule + "\n" + kRule + "\n");
}

// Without a reader every read counts as failed; without an output nothing is read or printed.
TEST(RegisterDecodeReadFailure, MissingReaderOrOutputIsHarmless) {
    const std::string text = Capture(
        [](std::FILE* file) { DecodeRegisters(0x6DC, nullptr, kOffsetWithFields, nullptr, nullptr, file); });
    EXPECT_EQ(text, "\nsf1:\n" + kRule + "\n" + kRule + "\n");
    FakeRegisters regs;
    DecodeRegisters(0, nullptr, kBlockWithFields, &FakeRegisters::Read, &regs, nullptr);
    EXPECT_TRUE(regs.reads.empty());
}

// ---- field line formats and repeated names

TEST(RegisterDecodeFields, ContextIdOfContextCommandHasNoEqualsSign) {
    FakeRegisters regs;
    regs.values = {{0x00C, 0x5A31ABCDu}};
    const std::string text = Decode(0x00C, nullptr, kOffsetWithFields, regs);
    EXPECT_NE(text.find("\ncxt_cmd:\noffset = 0x000000000000000C size = 4 value = 0x5a31abcd\n"
                        "opcode = 0x5\n"
                        "busy = 0x1\n"
                        "cq_crdts = 0x23\n"
                        "cq = 0x0\n"
                        "rspq = 0x0\n"
                        "egress = 0x0\n"
                        "free_list = 0x1\n"
                        "cxt_id 0xABCD\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("cxt_id ="), std::string::npos);
}

TEST(RegisterDecodeFields, RepeatedRegisterNamesKeepTheirOwnFields) {
    FakeRegisters regs;
    regs.values = {{0x050, 0xFFFFFFFFu}, {0x064, 0xFFFFFFFFu}};
    const std::string text = Decode(0, "sge3", kBlockWithFields, regs);
    const size_t first = text.find("\negr_prty_cnt:\noffset = 0x0000000000000050");
    const size_t second = text.find("\negr_prty_cnt:\noffset = 0x0000000000000064");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_NE(text.find("value = 0xffffffff\nres0 = 0x7FFFFFF\ncount = 0x1F\n", first), std::string::npos);
    EXPECT_NE(text.find("value = 0xffffffff\ntimer = 0x7FFFFF\nthreshold = 0xFF\n", second),
              std::string::npos);

    const std::string cim = Decode(0, "cim", kBlockWithFields, regs);
    EXPECT_EQ(Count(cim, "\nflash_base_addr:\n"), 2u);
    EXPECT_NE(cim.find("flashbaseaddr = 0x"), std::string::npos);
    EXPECT_NE(cim.find("flashsize = 0x"), std::string::npos);
    EXPECT_LT(cim.find("flashbaseaddr = 0x"), cim.find("flashsize = 0x"));
}

TEST(RegisterDecodeFields, OffsetSelectsOneOfTwoSameNamedRegisters) {
    FakeRegisters regs;
    const std::string text = Decode(0x064, nullptr, kOffsetWithFields, regs);
    EXPECT_EQ(Count(text, "\negr_prty_cnt:\n"), 1u);
    EXPECT_NE(text.find("threshold = 0x"), std::string::npos);
    EXPECT_EQ(text.find("count = 0x"), std::string::npos);
}

TEST(RegisterDecodeFields, ContextDataRegistersSitEightBytesApart) {
    FakeRegisters regs;
    const std::string text = Decode(0, "sge3", kBlockValues, regs);
    EXPECT_EQ(Count(text, "\ncxt_data:\n"), 4u);
    for (const char* offset :
         {"0000000000000010", "0000000000000018", "0000000000000020", "0000000000000028"}) {
        EXPECT_NE(text.find(std::string("\ncxt_data:\noffset = 0x") + offset), std::string::npos) << offset;
    }
    EXPECT_EQ(Decode(0x014, nullptr, kOffsetWithFields, regs), "\nsge3:\n" + kRule + "\n" + kRule + "\n");
}

TEST(RegisterDecodeFields, RegisterWithoutFieldsPrintsItsValueLineOnly) {
    FakeRegisters regs;
    const std::string text = Decode(0x6D8, nullptr, kOffsetWithFields, regs);
    EXPECT_EQ(text, "\nsf1:\n" + kRule +
                        "\n\ndata:\noffset = 0x00000000000006D8 size = 4 value = 0xdededed8\n" + kRule +
                        "\n");
}

}  // namespace
}  // namespace qv::regmap::testing
