// The 64-bit tick made from the wrapping 32-bit one (Windows XP and Server 2003).
#include "qv/platform/tick_extension.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(TickExtensionTest, KeepsTheUpperHalfAndCountsWraps) {
    constexpr uint64_t kWrap = uint64_t{1} << 32;
    const struct {
        uint64_t last;
        uint32_t low;
        uint64_t expected;
    } cases[] = {
        {0, 0, 0},                                                     // first reading at boot
        {0, 1000, 1000},                                               // first reading later
        {1000, 1000, 1000},                                            // same millisecond
        {1000, 5000, 5000},                                            // time goes on
        {0xFFFFFF00, 0x10, kWrap + 0x10},                              // the 32-bit count wrapped
        {3 * kWrap + 0xFFFFFFFF, 0, 4 * kWrap},                        // a later wrap, to the millisecond
        {5 * kWrap + 20, 30, 5 * kWrap + 30},                          // after wraps, no new one
        {5 * kWrap + 0xFFFFFFFF, 0xFFFFFFFF, 5 * kWrap + 0xFFFFFFFF},  // last millisecond before a wrap
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qv::clk::ExtendTickCount(c.last, c.low), c.expected) << c.last << " " << c.low;
    }
}

TEST(TickExtensionTest, NeverGoesBackAcrossManyWraps) {
    uint64_t tick = 0;
    for (uint64_t real = 0; real < 10 * (uint64_t{1} << 32); real += 0x3FFFFFFF) {
        const uint64_t next = qv::clk::ExtendTickCount(tick, static_cast<uint32_t>(real));
        EXPECT_EQ(next, real);
        tick = next;
    }
}

}  // namespace
