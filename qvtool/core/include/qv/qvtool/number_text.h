// Reading numbers from command-line words, the way the C runtime's scanf conversions read them.
#pragma once

#include <cstdint>

namespace qv::qvtool {

// The value of a hexadecimal digit character: 0 to 15, or -1 for any other character.
int HexDigitValue(char c);

// Reads a hexadecimal number as "%X" does: leading white space, an optional "0x"/"0X" prefix, then
// hexadecimal digits up to the first other character. False when no digit was read (a null word
// reads as nothing) and when the number needs more than 32 bits: a word too wide for its field is
// no number, rather than one wrapped onto another offset or value.
bool ReadHex(const char* word, uint32_t* value);

// Reads a decimal number as "%d" does: leading white space, an optional sign, digits up to the
// first other character. False when no digit was read or the number does not fit in 32 bits.
bool ReadDecimal(const char* word, int32_t* value);

// Reads a decimal number as atoi does, saturating instead of overflowing; 0 when nothing reads.
int32_t ReadDecimalOrZero(const char* word);

// True when the word exists and its first character is '-'.
inline bool BeginsWithDash(const char* word) {
    return word != nullptr && word[0] == '-';
}

}  // namespace qv::qvtool
