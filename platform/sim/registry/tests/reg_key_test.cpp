// The registry helpers' byte conversions and the choice of a free four-digit key name.
#include "qv/sim/reg_key.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace qv::sim
