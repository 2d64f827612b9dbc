// Registry value bytes as the tests write and expect them (little-endian, as Windows stores them).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace qv::testing {

// UTF-16 code units as bytes, without a terminator.
std::vector<uint8_t> Utf16Bytes(std::u16string_view text);
// A REG_SZ: the text and its terminator.
std::vector<uint8_t> StringBytes(std::u16string_view text);
// A REG_MULTI_SZ: each string with its terminator, then the empty string.
std::vector<uint8_t> MultiStringBytes(std::initializer_list<std::u16string_view> list);
// A REG_DWORD.
std::vector<uint8_t> DwordBytes(uint32_t value);

}  // namespace qv::testing
