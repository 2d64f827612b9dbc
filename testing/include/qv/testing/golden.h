// Golden files: expected outputs kept in the source tree (a tests/golden directory beside each
// suite), compared byte for byte. Paths are relative to the source tree's root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace qv::testing {

// The source tree's root / relative.
std::filesystem::path SourcePath(std::string_view relative);

// The content of the golden file; a missing or unreadable file fails the current test.
std::string ReadGolden(std::string_view relative);

// Success when text equals the golden file byte for byte; otherwise the message names the file,
// the first differing line with both versions, or that only the line ends differ. With the
// environment variable QV_REGEN_GOLDEN set the file is first rewritten with text (after a
// deliberate change; review the diff). Use as EXPECT_TRUE(MatchesGolden(text, "dir/tests/golden/x")).
::testing::AssertionResult MatchesGolden(std::string_view text, std::string_view relative);

// The same comparison of two texts, for goldens built in memory.
::testing::AssertionResult SameText(std::string_view expected, std::string_view actual,
                                    std::string_view what = "text");

}  // namespace qv::testing
