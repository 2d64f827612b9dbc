// The value of one hexadecimal digit character, as the text readers scan them.
#pragma once

#include <cstdint>

namespace qv::qvtool {

// 0 to 15, or -1 when c is no hexadecimal digit.
inline int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace qv::qvtool
