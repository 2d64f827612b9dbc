// The console port's text output, on both backends (under Wine in the windows build): a redirected
// stream gets the UTF-8 bytes unchanged and without a byte order mark. (The console-window path,
// WriteConsoleW, needs a console screen buffer, which Wine's headless console does not provide.)
#include "qv/platform/console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// ASCII, Latin-1, a CJK character, a character outside the BMP and line ends.
constexpr char kText[] = "Team \xC3\xA9t\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80\nnext\n";

TEST(ConsoleTest, RedirectedStreamGetsTheUtf8Bytes) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(qv::console::IsTerminal(file));
    qv::console::WriteText(file, kText);
    qv::console::WriteText(file, "");
    std::rewind(file);
    std::string read(256, '\0');
    read.resize(std::fread(read.data(), 1, read.size(), file));
    std::fclose(file);
    EXPECT_EQ(read, kText);
}

}  // namespace
