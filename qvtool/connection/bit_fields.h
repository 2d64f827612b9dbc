// The field access the connection state decoders share: bit ranges of a word and little-endian
// words of an answer buffer.
#pragma once

#include <cstdint>

namespace qv::qvtool {

// Bits hi:lo of word (hi >= lo, at most 31).
inline uint32_t Bits(uint32_t word, uint32_t hi, uint32_t lo) {
    return (word >> lo) & static_cast<uint32_t>((uint64_t{1} << (hi - lo + 1)) - 1);
}

// The little-endian number of bytes bytes (at most 8) at p.
inline uint64_t LittleEndian(const uint8_t* p, uint32_t bytes) {
    uint64_t value = 0;
    for (uint32_t i = bytes; i-- > 0;) value = value << 8 | p[i];
    return value;
}

}  // namespace qv::qvtool
