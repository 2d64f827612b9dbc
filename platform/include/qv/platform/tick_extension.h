// A 64-bit millisecond tick made from a 32-bit one that wraps every 49.7 days (GetTickCount on
// systems without GetTickCount64). Portable, so that the wrap is tested on every build.
#pragma once

#include <cstdint>

namespace qv::clk {

// The 64-bit tick for the 32-bit reading low, given the last 64-bit tick handed out: the same upper
// half, one wrap more when low is below last's lower half. Exact while readings lie less than one
// wrap apart.
constexpr uint64_t ExtendTickCount(uint64_t last, uint32_t low) {
    uint64_t now = (last & ~uint64_t{0xFFFFFFFF}) | low;
    if (now < last) now += uint64_t{1} << 32;
    return now;
}

}  // namespace qv::clk
