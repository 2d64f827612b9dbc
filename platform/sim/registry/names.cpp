#include "names.h"

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

std::string FoldKey(std::u16string_view name) {
    std::string key;
    key.reserve(name.size() * 2);
    for (char16_t c : name) {
        const char16_t u = Upcase(c);
        key.push_back(static_cast<char>(u >> 8));
        key.push_back(static_cast<char>(u & 0xFF));
    }
    return key;
}

std::string ToStored(std::u16string_view name) {
    std::string bytes;
    bytes.reserve(name.size() * 2);
    for (char16_t c : name) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::u16string FromStored(std::string_view bytes) {
    std::u16string name;
    name.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        name.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                             (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return name;
}

}  // namespace qv::sim::regnames
