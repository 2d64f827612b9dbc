#include "qv/sim/reg_names.h"

#include <cstdint>

namespace qv::sim::regnames {

char16_t Upcase(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: upper case at the even (or, in two runs, the odd) code of each pair.
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
        return isLower ? static_cast<char16_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

// Names are mostly short ASCII: the forms below are written into a sized buffer in one pass
// instead of growing a string unit by unit.
std::string FoldKey(std::u16string_view name) {
    std::string key(name.size() * 2, '\0');
    char* out = key.data();
    for (const char16_t c : name) {
        // ASCII, nearly every name, is folded here without a call.
        const char16_t u =
            c < 0x80 ? ((c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c) : Upcase(c);
        *out++ = static_cast<char>(u >> 8);
        *out++ = static_cast<char>(u & 0xFF);
    }
    return key;
}

std::string ToStored(std::u16string_view name) {
    std::string bytes(name.size() * 2, '\0');
    char* out = bytes.data();
    for (const char16_t c : name) {
        *out++ = static_cast<char>(c & 0xFF);
        *out++ = static_cast<char>(c >> 8);
    }
    return bytes;
}

std::u16string FromStored(std::string_view bytes) {
    std::u16string name(bytes.size() / 2, u'\0');
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
    for (char16_t& unit : name) {
        unit = static_cast<char16_t>(in[0] | (in[1] << 8));
        in += 2;
    }
    return name;
}

}  // namespace qv::sim::regnames
