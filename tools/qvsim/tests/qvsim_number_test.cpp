// qvsim's number parser: each way of writing a number, its limits, and what it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "../machine_support.h"

namespace {

using qvsim::Radix;

TEST(QvsimNumber, ParsesEachRadixWithinItsLimit) {
    constexpr std::optional<uint64_t> kNone;
    const struct {
        const char* text;
        Radix radix;
        uint64_t max;
        std::optional<uint64_t> expected;
    } kCases[] = {
        {"0", Radix::kDecimal, 0, 0},
        {"4294967295", Radix::kDecimal, UINT32_MAX, UINT32_MAX},
        {"4294967296", Radix::kDecimal, UINT32_MAX, kNone},
        {"18446744073709551615", Radix::kDecimal, UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", Radix::kDecimal, UINT64_MAX, kNone},
        {"9", Radix::kDecimal, 8, kNone},
        {"0x10", Radix::kDecimal, 100, kNone},
        {"ff", Radix::kHex, 0xFF, 0xFF},
        {"0X1f", Radix::kHex, 0xFF, 0x1F},
        {"100", Radix::kHex, 0xFF, kNone},
        {"0x", Radix::kHex, 0xFF, kNone},
        {"010", Radix::kDecimalOrHex, 100, 10},
        {"0x40", Radix::kDecimalOrHex, 100, 0x40},
        {"0x0x5", Radix::kDecimalOrHex, 100, kNone},
        {"010", Radix::kC, 100, 8},
        {"08", Radix::kC, 100, kNone},
        {"0x1A", Radix::kC, 100, 0x1A},
        {"0", Radix::kC, 100, 0},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(qvsim::ParseNumber(c.text, c.radix, c.max), c.expected) << c.text;
    }
}

TEST(QvsimNumber, RefusesSignsSpacesAndStrayCharacters) {
    for (const char* text : {"", "-1", "+1", " 1", "1 ", "1x", "x", "1.5"}) {
        for (const Radix radix : {Radix::kDecimal, Radix::kHex, Radix::kDecimalOrHex, Radix::kC}) {
            EXPECT_EQ(qvsim::ParseNumber(text, radix, UINT64_MAX), std::nullopt) << "'" << text << "'";
        }
    }
}

}  // namespace
