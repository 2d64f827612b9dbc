// UTF-8 <-> UTF-16 conversion: round trips over every plane, U+FFFD for each maximal ill-formed
// part in the lossy direction, refusal in the strict one, and the surrogate-keeping pair that
// registry names need. Inputs from outside never overrun.
#include "qv/platform/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

const std::u16string kFffd(1, char16_t{0xFFFD});

std::u16string Units(std::initializer_list<char16_t> units) {
    return std::u16string(units);
}

TEST(UtfTest, WellFormedTextRoundTripsInEveryDirection) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"Local Area Connection 4", u"Local Area Connection 4"},
        {"0123456789abcdefXYZ", u"0123456789abcdefXYZ"},  // longer than one eight-byte step
        {"\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        {"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\u0800\uD7FF\uE000\uFFFF"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
        {"a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80z", u"a\u00e9\u4e2d\U0001F600z"},
        {"abcdefgh\xc3\xa9"
         "abcdefghijklmnop\xc3\xa9",
         u"abcdefgh\u00e9abcdefghijklmnop\u00e9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(FromUtf8(c.utf8), c.utf16);
        EXPECT_EQ(ToUtf8KeepingSurrogates(c.utf16), c.utf8);
        std::u16string strict = u"stale";
        EXPECT_TRUE(ToUtf16Strict(c.utf8, &strict));
        EXPECT_EQ(strict, c.utf16);
        std::u16string kept;
        EXPECT_TRUE(ToUtf16KeepingSurrogates(c.utf8, &kept));
        EXPECT_EQ(kept, c.utf16);
    }
}

TEST(UtfTest, MalformedUtf8IsReplacedPerMaximalPartOrRefused) {
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string lossy;
        bool keptAccepts;  // only encoded surrogates are accepted by the surrogate-keeping reader
    };
    const std::u16string r = kFffd;
    const Case cases[] = {
        {"truncated two-byte at the end", "a\xC3", u"a" + r, false},
        {"truncated three-byte", "\xE4\xB8", r, false},
        {"truncated four-byte, then ASCII", "\xF0\x9F\x98z", r + u"z", false},
        {"overlong slash", "\xC0\xAF", r + r, false},
        {"overlong three-byte", "\xE0\x80\xAF", r + r + r, false},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", r + r + r + r, false},
        {"encoded high surrogate", "\xED\xA0\x80", r + r + r, true},
        {"encoded low surrogate", "\xED\xBF\xBF", r + r + r, true},
        {"above U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r, false},
        {"invalid lead bytes",
         "\xFF"
         "b\xF8\xFE",
         r + u"b" + r + r, false},
        {"lone continuation", "\x80", r, false},
        {"lead interrupted by a new lead", "\xE4\xC3\xA9", r + u"\u00e9", false},
        {"malformed after an ASCII run", "abcdefghij\x80", u"abcdefghij" + r, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToUtf16(c.utf8), c.lossy);
        std::u16string out;
        EXPECT_FALSE(ToUtf16Strict(c.utf8, &out));
        EXPECT_EQ(ToUtf16KeepingSurrogates(c.utf8, &out), c.keptAccepts);
    }
}

TEST(UtfTest, LoneSurrogatesAreReplacedOrKeptAsTheirUnits) {
    struct Case {
        std::u16string utf16;
        std::string lossy;
        std::string kept;
    };
    const Case cases[] = {
        {Units({u'x', 0xD800}), "x\xEF\xBF\xBD", "x\xED\xA0\x80"},
        {Units({0xDC00, u'y'}), "\xEF\xBF\xBDy", "\xED\xB0\x80y"},
        {Units({0xDBFF, 0xDBFF, 0xDFFF}), "\xEF\xBF\xBD\xF4\x8F\xBF\xBF", "\xED\xAF\xBF\xF4\x8F\xBF\xBF"},
        {Units({0xDFFF, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD", "\xED\xBF\xBF\xED\xA0\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        EXPECT_EQ(ToUtf8(c.utf16), c.lossy);
        EXPECT_EQ(ToUtf8KeepingSurrogates(c.utf16), c.kept);
        std::u16string back;
        ASSERT_TRUE(ToUtf16KeepingSurrogates(c.kept, &back));
        EXPECT_EQ(back, c.utf16);  // every UTF-16 string survives the round trip unchanged
        EXPECT_FALSE(ToUtf16Strict(c.kept, &back));
    }
}

}  // namespace
}  // namespace qv
