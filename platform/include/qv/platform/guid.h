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

// True when text is guid's braced string form, upper-case hex as StringFromGuid writes it; for
// checking at compile time that a string constant spells its binary GUID.
constexpr bool GuidSpells(const Guid& guid, std::u16string_view text) {
    if (text.size() != kGuidStringLength) return false;
    uint8_t bytes[16] = {static_cast<uint8_t>(guid.data1 >> 24), static_cast<uint8_t>(guid.data1 >> 16),
                         static_cast<uint8_t>(guid.data1 >> 8),  static_cast<uint8_t>(guid.data1),
                         static_cast<uint8_t>(guid.data2 >> 8),  static_cast<uint8_t>(guid.data2),
                         static_cast<uint8_t>(guid.data3 >> 8),  static_cast<uint8_t>(guid.data3)};
    for (int i = 0; i < 8; ++i) bytes[8 + i] = guid.data4[i];
    constexpr std::u16string_view kDigits = u"0123456789ABCDEF";
    constexpr std::u16string_view kPattern = u"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    int digit = 0;
    for (size_t i = 0; i < kPattern.size(); ++i) {
        if (kPattern[i] != u'X') {
            if (text[i] != kPattern[i]) return false;
            continue;
        }
        const uint8_t byte = bytes[digit / 2];
        if (text[i] != kDigits[digit % 2 == 0 ? byte >> 4 : byte & 0xF]) return false;
        ++digit;
    }
    return true;
}

// Well-known setup classes (devguid.h), and their string forms as the registry stores them.
constexpr Guid kGuidDevClassNet = {
    0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr Guid kGuidDevClassNetTrans = {
    0x4D36E975, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr Guid kGuidDevClassSystem = {
    0x4D36E97D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr std::u16string_view kGuidDevClassNetText = u"{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr std::u16string_view kGuidDevClassNetTransText = u"{4D36E975-E325-11CE-BFC1-08002BE10318}";
constexpr std::u16string_view kGuidDevClassSystemText = u"{4D36E97D-E325-11CE-BFC1-08002BE10318}";
static_assert(GuidSpells(kGuidDevClassNet, kGuidDevClassNetText));
static_assert(GuidSpells(kGuidDevClassNetTrans, kGuidDevClassNetTransText));
static_assert(GuidSpells(kGuidDevClassSystem, kGuidDevClassSystemText));

// Device-interface class of the adapters' virtual bus driver, which the diagnostic tool looks up.
constexpr Guid kGuidBusDriverInterface = {
    0xB5C98E43, 0x7483, 0x415C, {0x93, 0x08, 0x38, 0x06, 0x52, 0x64, 0xE1, 0x0B}};
constexpr std::u16string_view kGuidBusDriverInterfaceText = u"{B5C98E43-7483-415C-9308-38065264E10B}";
static_assert(GuidSpells(kGuidBusDriverInterface, kGuidBusDriverInterfaceText));

}  // namespace qv
