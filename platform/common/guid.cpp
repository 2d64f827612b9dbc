#include "qv/platform/guid.h"

#include <array>

namespace qv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Byte values of the GUID in string order: data1 (4), data2 (2), data3 (2), data4 (8).
std::array<uint8_t, 16> StringOrderBytes(const Guid& g) {
    std::array<uint8_t, 16> b{};
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(g.data1 >> (24 - 8 * i));
    b[4] = static_cast<uint8_t>(g.data2 >> 8);
    b[5] = static_cast<uint8_t>(g.data2);
    b[6] = static_cast<uint8_t>(g.data3 >> 8);
    b[7] = static_cast<uint8_t>(g.data3);
    for (int i = 0; i < 8; ++i) b[8 + i] = g.data4[i];
    return b;
}

// Positions of the hyphens within the 38-character form.
constexpr bool IsHyphenPosition(int i) {
    return i == 9 || i == 14 || i == 19 || i == 24;
}

template <typename Char>
void Format(const Guid& g, Char* out) {
    const auto bytes = StringOrderBytes(g);
    int pos = 0;
    out[pos++] = '{';
    for (int i = 0; i < 16; ++i) {
        if (IsHyphenPosition(pos)) out[pos++] = '-';
        out[pos++] = static_cast<Char>(kHexDigits[bytes[i] >> 4]);
        out[pos++] = static_cast<Char>(kHexDigits[bytes[i] & 0xF]);
    }
    out[pos++] = '}';
}

int HexValue(char32_t c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

template <typename View>
bool Parse(View text, Guid* out) {
    if (text.size() != static_cast<size_t>(kGuidStringLength) || text.front() != '{' || text.back() != '}') {
        return false;
    }
    std::array<uint8_t, 16> b{};
    int byte = 0;
    for (int pos = 1; pos < kGuidStringLength - 1;) {
        if (IsHyphenPosition(pos)) {
            if (text[pos] != '-') return false;
            ++pos;
            continue;
        }
        const int hi = HexValue(static_cast<char32_t>(text[pos]));
        const int lo = HexValue(static_cast<char32_t>(text[pos + 1]));
        if (hi < 0 || lo < 0) return false;
        b[byte++] = static_cast<uint8_t>(hi << 4 | lo);
        pos += 2;
    }
    Guid g{};
    g.data1 = static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
              static_cast<uint32_t>(b[2]) << 8 | b[3];
    g.data2 = static_cast<uint16_t>(b[4] << 8 | b[5]);
    g.data3 = static_cast<uint16_t>(b[6] << 8 | b[7]);
    for (int i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
    *out = g;
    return true;
}

}  // namespace

int StringFromGuid(const Guid& guid, char16_t* buffer, int capacity) {
    if (buffer == nullptr || capacity < kGuidStringLength + 1) return 0;
    Format(guid, buffer);
    buffer[kGuidStringLength] = u'\0';
    return kGuidStringLength + 1;
}

std::u16string GuidToString(const Guid& guid) {
    std::u16string s(kGuidStringLength, u'\0');
    Format(guid, s.data());
    return s;
}

std::string GuidToAscii(const Guid& guid) {
    std::string s(kGuidStringLength, '\0');
    Format(guid, s.data());
    return s;
}

bool GuidFromString(std::u16string_view text, Guid* out) {
    return Parse(text, out);
}
bool GuidFromAscii(std::string_view text, Guid* out) {
    return Parse(text, out);
}

}  // namespace qv
