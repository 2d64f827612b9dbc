// The progress line: what it draws on a terminal, and that it draws nothing elsewhere.
#include "qv/qvtool/progress_line.h"

#include <gtest/gtest.h>

#include <string>

#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

using qv::testing::ReadStream;

TEST(ProgressLineTest, RedrawsOnlyOnChangeBlanksLeftoversAndClearsItsLine) {
    std::FILE* err = std::tmpfile();
    {
        ProgressLine line = ProgressLine::Always(err, nullptr);
        for (uint64_t done = 0; done <= 400; ++done) line.Show("Programming", done, 400);
        line.Show("Erasing", 1, 3);
        line.Clear();
        line.Clear();                  // nothing left to clear
        line.Show("Comparing", 5, 0);  // no total: complete
    }                                  // the destructor clears the last line
    std::string expected;
    for (int percent = 0; percent <= 100; ++percent) {
        char step[32];
        std::snprintf(step, sizeof step, "\rProgramming %3d%%", percent);
        expected += step;
    }
    expected += "\rErasing  33%    \r                \r";
    expected += "\rComparing 100%\r              \r";
    EXPECT_EQ(ReadStream(err), expected);
    std::fclose(err);
}

TEST(ProgressLineTest, ShowsNothingOffATerminal) {
    std::FILE* err = std::tmpfile();
    {
        ProgressLine line(err, nullptr);  // a file is not a terminal
        line.Show("Programming", 1, 2);
        ShowProgress(&line, "Erasing", 1, 2);
        ShowProgress(nullptr, "Erasing", 1, 2);
        ClearProgress(nullptr);
    }
    EXPECT_EQ(ReadStream(err), "");
    std::fclose(err);
}

}  // namespace
}  // namespace qv::qvtool
