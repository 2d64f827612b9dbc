// The registry helpers' byte conversions, the choice of a free four-digit key name and deleting a tree.
#include "qv/sim/reg_key.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/utf.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

TEST(RegKeyHelpers, BytesConvertToTextAndDwords) {
    const struct {
        std::vector<uint8_t> bytes;
        std::u16string text;
        std::optional<uint32_t> dword;
    } cases[] = {
        {{}, u"", std::nullopt},
        {{'A', 0, 'B', 0, 0, 0}, u"AB", std::nullopt},                 // stops at the terminator
        {{'A', 0, 0, 0, 'B', 0, 0}, u"A", std::nullopt},               // ... at the first one
        {{'A', 0, 'B', 0, 'C'}, u"AB", std::nullopt},                  // odd last byte dropped
        {{'A', 0, 0x34, 0x12}, u"A\u1234", 0x12340041},                // no terminator: all of it
        {{0x78, 0x56, 0x34, 0x12, 0}, u"\u5678\u1234", std::nullopt},  // a DWORD is 4 bytes only
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StringFromBytes(c.bytes), c.text);
        EXPECT_EQ(DwordFromBytes(c.bytes), c.dword);
    }
    EXPECT_EQ(DwordBytes(0x12345678), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(StringFromBytes(StringBytes(u"text")), u"text");
}

TEST(RegKeyHelpers, AsciiCaseFoldsOnlyAsciiLetters) {
    const struct {
        std::string_view a, b;
        bool equal;
    } cases[] = {{"\\\\?\\Root#QVVBD", "\\\\?\\ROOT#qvvbd", true},
                 {"a.exe", "A.EXE", true},
                 {"ab", "abc", false},
                 {"\xC3\xA9", "\xC3\x89", false},
                 {"[", "{", false},
                 {"", "", true}};
    for (const auto& c : cases) EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " " << c.b;
    EXPECT_EQ(AsciiUpper(u"Root\\qv_Team\u00e9z@[`{"), u"ROOT\\QV_TEAM\u00e9Z@[`{");
    EXPECT_EQ(AsciiLower(u"QV_QVTEAMMP\u00c9Za@[`{"), u"qv_qvteammp\u00c9za@[`{");
}

TEST(RegKeyHelpers, FreeNumberedNameTakesTheLowestUnusedNumber) {
    const auto claimsUpTo0004 = [](const std::u16string& name) { return name <= u"0004"; };
    const auto claimsAll = [](const std::u16string&) { return true; };
    const struct {
        std::vector<std::u16string> taken;
        std::function<bool(const std::u16string&)> alsoTaken;
        std::optional<std::u16string> free;
    } cases[] = {
        {{}, {}, u"0000"},
        {{u"0001", u"0000", u"0003"}, {}, u"0002"},
        {{u"000", u"00000", u"Name", u"0x00"}, {}, u"0000"},  // only four-digit names count
        {{u"0005"}, claimsUpTo0004, u"0006"},
        {{}, claimsAll, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FreeNumberedName(c.taken, c.alsoTaken), c.free);
}

using RegKeyTree = testing::EmptyMachine;

TEST_F(RegKeyTree, DeleteTreeRemovesTheKeyAndEverythingBelowItOnly) {
    for (const char16_t* path : {u"Top\\A\\B\\C", u"Top\\A\\D", u"Top\\E", u"Topmost\\F"}) {
        RegKey key;
        ASSERT_EQ(RegKey::Create(path, &key), kErrorSuccess);
        ASSERT_EQ(key.WriteDword(u"v", 1), kErrorSuccess);
    }
    const auto exists = [](std::u16string_view path) {
        RegKey key;
        return RegKey::Open(path, kKeyRead, &key) == kErrorSuccess;
    };
    const struct {
        std::u16string_view path;
        LStatus status;
        std::u16string_view gone, stays;
    } steps[] = {
        {u"Top\\A", kErrorSuccess, u"Top\\A\\B", u"Top\\E"},
        {u"Missing", kErrorFileNotFound, u"Missing", u"Top\\E"},
        {u"TOP", kErrorSuccess, u"Top", u"Topmost\\F"},  // names compare ignoring case
        {u"Top", kErrorFileNotFound, u"Top", u"Topmost"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(ToUtf8(step.path));
        EXPECT_EQ(RegKey::DeleteTree(step.path), step.status);
        EXPECT_FALSE(exists(step.gone));
        EXPECT_TRUE(exists(step.stays));
    }
}

}  // namespace
}  // namespace qv::sim
