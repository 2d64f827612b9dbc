// UTF-8 <-> UTF-16 conversion of outside text: malformed input never overruns and becomes U+FFFD.
#include "qv/sim/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::sim {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"Local Area Connection \u00e9\u4e2d\U0001F600";
    EXPECT_EQ(ToUtf16(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(ToUtf16("a\xC3"), u"a\uFFFD");                    // truncated sequence at the end
    EXPECT_EQ(ToUtf16("\xE4\xB8"), u"\uFFFD\uFFFD");            // truncated three-byte sequence
    EXPECT_EQ(ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong slash
    EXPECT_EQ(ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(ToUtf16("\xFF"
                      "b"),
              u"\uFFFDb");
    EXPECT_EQ(ToUtf16("\x80"), u"\uFFFD");
    EXPECT_EQ(ToUtf8(u"x\xD800"), "x\xEF\xBF\xBD");  // lone high surrogate at the end
    EXPECT_EQ(ToUtf8(u"\xDC00y"), "\xEF\xBF\xBDy");  // lone low surrogate
}

}  // namespace
}  // namespace qv::sim
