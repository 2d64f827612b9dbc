// Registry value bytes and request records as the tests write and expect them (little-endian, as
// Windows stores them and the driver reads them).
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <type_traits>
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

// The bytes of a request record as they go to the driver.
template <typename Record>
std::vector<uint8_t> RecordBytes(const Record& record) {
    static_assert(std::is_trivially_copyable_v<Record>);
    std::vector<uint8_t> bytes(sizeof record);
    std::memcpy(bytes.data(), &record, sizeof record);
    return bytes;
}

}  // namespace qv::testing
