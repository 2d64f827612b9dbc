// Whole-map decodes compared with the golden outputs under golden/. The goldens were checked against
// the register map field by field; set QV_REGEN_GOLDEN=1 to rewrite them after a deliberate change
// (qv/testing/golden.h).
#include <gtest/gtest.h>

#include <string>

#include "decode_capture.h"
#include "qv/testing/golden.h"

namespace qv::regmap::testing {
namespace {

void ExpectMatchesGolden(const std::string& text, const char* name) {
    EXPECT_TRUE(qv::testing::MatchesGolden(text, std::string("qvtool/regmap/tests/golden/") + name));
}

TEST(RegisterDecodeGolden, AllBlocksValueLinesOnly) {
    FakeRegisters regs;
    const std::string text = Decode(0, nullptr, PrintMode{.wholeBlock = true, .expandFields = false}, regs);
    ExpectMatchesGolden(text, "all.txt");
    EXPECT_EQ(regs.reads.size(), 323u);
}

TEST(RegisterDecodeGolden, AllBlocksWithFields) {
    FakeRegisters regs;
    regs.pattern = &FakeRegisters::Scrambled;
    const std::string text = Decode(0, nullptr, PrintMode{.wholeBlock = true, .expandFields = true}, regs);
    ExpectMatchesGolden(text, "all_fields.txt");
}

// The offset given for "all" is ignored: every register is read at its own offset.
TEST(RegisterDecodeGolden, AllIgnoresTheOffset) {
    FakeRegisters first;
    FakeRegisters second;
    const PrintMode mode{.wholeBlock = true, .expandFields = true};
    EXPECT_EQ(Decode(0, nullptr, mode, first), Decode(0x6DC, nullptr, mode, second));
}

}  // namespace
}  // namespace qv::regmap::testing
