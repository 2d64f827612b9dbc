// GUIDs: the binary record and its 38-character string form.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qv {

// Same layout as the Windows GUID record (16 bytes, little-endian fields).
struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
static_assert(sizeof(Guid) == 16);

// Compares as two 64-bit halves, the way adapters are matched.
inline bool GuidEqual(const Guid& a, const Guid& b) {
    uint64_t a0, a1, b0, b1;
    std::memcpy(&a0, &a, 8);
    std::memcpy(&a1, reinterpret_cast<const uint8_t*>(&a) + 8, 8);
    std::memcpy(&b0, &b, 8);
    std::memcpy(&b1, reinterpret_cast<const uint8_t*>(&b) + 8, 8);
    return a0 == b0 && a1 == b1;
}
inline bool operator==(const Guid& a, const Guid& b) {
    return GuidEqual(a, b);
}

// Number of UTF-16 units of the string form, without the terminator.
constexpr int kGuidStringLength = 38;

// Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with upper-case digits and a terminator into
// buffer (as StringFromGUID2 does). Returns the number of units written including the
// terminator, or 0 when capacity is below 39.
int StringFromGuid(const Guid& guid, char16_t* buffer, int capacity);
std::u16string GuidToString(const Guid& guid);
std::string GuidToAscii(const Guid& guid);

// Parses the braced string form, any letter case (as CLSIDFromString does for GUID strings).
// Returns false, leaving *out unchanged, for anything else.
bool GuidFromString(std::u16string_view text, Guid* out);
bool GuidFromAscii(std::string_view text, Guid* out);

// Well-known setup classes.
constexpr Guid kGuidDevClassNet = {
    0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr Guid kGuidDevClassNetTrans = {
    0x4D36E975, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

}  // namespace qv
