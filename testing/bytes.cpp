#include "qv/testing/bytes.h"

namespace qv::testing {

std::vector<uint8_t> Utf16Bytes(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

std::vector<uint8_t> StringBytes(std::u16string_view text) {
    auto bytes = Utf16Bytes(text);
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

std::vector<uint8_t> MultiStringBytes(std::initializer_list<std::u16string_view> list) {
    std::vector<uint8_t> bytes;
    for (const auto text : list) {
        const auto one = StringBytes(text);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

std::vector<uint8_t> DwordBytes(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

}  // namespace qv::testing
