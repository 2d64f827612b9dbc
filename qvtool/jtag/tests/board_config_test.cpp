// The board configuration reader: rows, skipped lines, the row limit, long lines and every message.
#include "qv/qvtool/jtag/board_config.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::qvtool {
namespace {

TEST(BoardConfig, ReadsRowsAndSkipsCommentsAndBlankLines) {
    const BoardConfig c = ParseBoardConfig(
        "# board A\n"
        "\n"
        "0 1127E093 top_fpga top.bit\r\n"
        "  \t \n"
        "1\t0xf5057093\tprom   \n"
        "2 0 end extra words are ignored\n");
    ASSERT_TRUE(c.ok) << c.message;
    ASSERT_EQ(c.rows.size(), 3u);
    EXPECT_EQ(c.rows[0].position, 0u);
    EXPECT_EQ(c.rows[0].idcode, 0x1127E093u);
    EXPECT_EQ(c.rows[0].module, "top_fpga");
    EXPECT_EQ(c.rows[0].bitStream, "top.bit");
    EXPECT_EQ(c.rows[1].idcode, 0xF5057093u);
    EXPECT_EQ(c.rows[1].bitStream, "");
    EXPECT_EQ(c.rows[2].module, "end");
    EXPECT_EQ(c.rows[2].bitStream, "extra");

    EXPECT_TRUE(ParseBoardConfig("").ok);
    EXPECT_TRUE(ParseBoardConfig("# only a comment").rows.empty());
}

TEST(BoardConfig, EveryFieldFailureHasItsMessage) {
    const std::string n64(64, 'm');
    const std::string n65(65, 'm');
    struct Case {
        std::string text;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {"x 1127E093 m\n", "Invalid row specified.\n"},
        {"-1 1127E093 m\n", "Invalid row specified.\n"},
        {"4294967296 1127E093 m\n", "Invalid row specified.\n"},
        {" # an indented hash is a row\n", "Invalid row specified.\n"},
        {"0\n", "Invalid fpga id specified.\n"},
        {"0 12G4 m\n", "Invalid fpga id specified.\n"},
        {"0 0x\n", "Invalid fpga id specified.\n"},
        {"0 100000000 m\n", "Invalid fpga id specified.\n"},
        {"0 1127E093\n", "Error: No fpga module name specified.\n"},
        {"0 1127E093 \t \r\n", "Error: No fpga module name specified.\n"},
        {"0 1127E093 " + n64 + " " + n64 + "\n", ""},
        {"0 1127E093 " + n65 + "\n", "Error: fpga module name too long.\n"},
        {"0 1127E093 m " + n65 + "\n", "Error: fpga config file name too long.\n"},
        // A bad row after good ones refuses the whole file.
        {"0 1127E093 m\n1 F5057093 p\nbad\n", "Invalid row specified.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const BoardConfig config = ParseBoardConfig(c.text);
        EXPECT_EQ(config.ok, *c.message == '\0');
        EXPECT_STREQ(config.message, c.message);
        if (!config.ok) {
            EXPECT_TRUE(config.rows.empty());
        }
    }
}

TEST(BoardConfig, KeepsSixtyFourRowsAndRefusesAFileWithMore) {
    std::string text = "# sixty-four rows\n";
    for (int i = 0; i < 64; ++i) text += std::to_string(i) + " 1127E093 m" + std::to_string(i) + "\n\n";
    const BoardConfig full = ParseBoardConfig(text + "# comments and blank lines after them\n\n");
    ASSERT_TRUE(full.ok) << full.message;
    ASSERT_EQ(full.rows.size(), kBoardMaxRows);
    EXPECT_EQ(full.rows[63].module, "m63");
    EXPECT_EQ(full.rows[0].line, 2u);
    EXPECT_EQ(full.rows[63].line, 128u) << "lines are counted with the skipped ones";

    for (const char* extra : {"64 1127E093 m64", "not a row"}) {
        const BoardConfig refused = ParseBoardConfig(text + extra);
        EXPECT_FALSE(refused.ok) << extra;
        EXPECT_STREQ(refused.message, "Error: more than 64 fpga rows specified.\n");
        EXPECT_TRUE(refused.rows.empty());
    }
}

TEST(BoardConfig, ConfiguredRowsEndBeforeTheFirstZeroIdcode) {
    EXPECT_EQ(ConfiguredRows(ParseBoardConfig("0 1 a\n1 0 end\n2 3 c\n0 0 end\n")).size(), 1u);
    EXPECT_EQ(ConfiguredRows(ParseBoardConfig("0 0 end\n1 1 b\n")).size(), 0u);
    EXPECT_EQ(ConfiguredRows(ParseBoardConfig("0 1 a\n1 1 b\n")).size(), 2u);
}

TEST(BoardConfig, LongLines) {
    const std::string pad(1023 - 13, ' ');
    const std::string fits = "0 1127E093 m" + pad + "x";  // 1023 characters
    ASSERT_EQ(fits.size(), kBoardMaxLine);
    const BoardConfig ok = ParseBoardConfig(fits + "\n");
    ASSERT_TRUE(ok.ok) << ok.message;
    EXPECT_EQ(ok.rows[0].bitStream, "x");
    // One more character: refused whole, never read as a row and a second row behind it.
    EXPECT_STREQ(ParseBoardConfig(fits + "y\n").message, "Invalid row specified.\n");
    EXPECT_STREQ(ParseBoardConfig("0 1127E093 m" + std::string(2000, ' ') + "1 2 3\n").message,
                 "Invalid row specified.\n");
    // Long comments and blank lines are skipped whole.
    const BoardConfig skipped =
        ParseBoardConfig("#" + std::string(3000, 'c') + "\n" + std::string(3000, ' ') + "\n0 1 m\n");
    ASSERT_TRUE(skipped.ok) << skipped.message;
    EXPECT_EQ(skipped.rows.size(), 1u);
}

}  // namespace
}  // namespace qv::qvtool
