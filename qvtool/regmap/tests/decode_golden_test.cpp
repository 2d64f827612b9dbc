// Whole-map decodes compared with the golden outputs under golden/. The goldens were checked against
// the register map field by field; set QV_REGEN_GOLDEN=1 to rewrite them after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "decode_capture.h"

namespace qv::regmap::testing {
namespace {

std::string GoldenPath(const char* name) {
    return std::string(QV_REGMAP_GOLDEN_DIR) + "/" + name;
}

void ExpectMatchesGolden(const std::string& text, const char* name) {
    const std::string path = GoldenPath(name);
    if (std::getenv("QV_REGEN_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << text;
    }
    const std::string golden = ReadFile(path);
    ASSERT_FALSE(golden.empty()) << path;
    if (text == golden) return;
    // Point at the first differing line rather than dumping both texts.
    std::istringstream got(text);
    std::istringstream want(golden);
    std::string gotLine;
    std::string wantLine;
    for (int line = 1;; ++line) {
        const bool haveGot = static_cast<bool>(std::getline(got, gotLine));
        const bool haveWant = static_cast<bool>(std::getline(want, wantLine));
        if (!haveGot && !haveWant) break;
        if (haveGot != haveWant || gotLine != wantLine) {
            ADD_FAILURE() << path << ":" << line << ": expected \"" << (haveWant ? wantLine : "<end>")
                          << "\", got \"" << (haveGot ? gotLine : "<end>") << "\"";
            return;
        }
    }
    ADD_FAILURE() << path << ": texts differ in their line endings";
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
