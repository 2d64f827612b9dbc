#include "qv/qvtool/number_text.h"

#include <cctype>
#include <limits>

namespace qv::qvtool {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

namespace {

const char* SkipSpace(const char* p) {
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// Reads an optional sign and decimal digits; false when no digit follows. The magnitude saturates
// just above the int32 range so that callers can tell an overflow.
bool ReadSignedDigits(const char* word, int64_t* value) {
    if (word == nullptr) return false;
    const char* p = SkipSpace(word);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 2;
    int64_t magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > kCap) magnitude = kCap;
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

bool ReadHex(const char* word, uint32_t* value) {
    if (word == nullptr) return false;
    const char* p = SkipSpace(word);
    bool sawDigit = false;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        sawDigit = true;  // the "0" of the prefix already reads as a number
        p += 2;
    }
    uint32_t result = 0;
    for (int d; (d = HexDigitValue(*p)) >= 0; ++p) {
        if (result > 0x0FFFFFFF) return false;  // a fifth nibble above 32 bits: too wide
        result = result << 4 | static_cast<uint32_t>(d);
        sawDigit = true;
    }
    if (!sawDigit) return false;
    *value = result;
    return true;
}

bool ReadDecimal(const char* word, int32_t* value) {
    int64_t v = 0;
    if (!ReadSignedDigits(word, &v)) return false;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return false;
    *value = static_cast<int32_t>(v);
    return true;
}

int32_t ReadDecimalOrZero(const char* word) {
    int64_t v = 0;
    if (!ReadSignedDigits(word, &v)) return 0;
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

}  // namespace qv::qvtool
