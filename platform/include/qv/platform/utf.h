// UTF-8 <-> UTF-16 conversion, the one implementation for every module.
//
// - ToUtf8 / ToUtf16 are lossy and never fail: a lone surrogate, or each maximal ill-formed part of
//   a UTF-8 sequence (as the Unicode standard recommends), becomes U+FFFD. For text shown to people
//   and for command lines.
// - ToUtf16Strict refuses what is not well-formed UTF-8: truncated and overlong sequences,
//   values above U+10FFFF and encoded surrogates (ED A0..BF xx). For text whose exact units matter.
// - The KeepingSurrogates pair converts every UTF-16 string and back unchanged: a lone surrogate is
//   written as the three-byte form of its unit (as registry names may hold lone surrogates); the
//   reading side accepts those forms and refuses every other malformed sequence.
// Text that is all ASCII takes a fast path of widening or narrowing copies.
#pragma once

#include <string>
#include <string_view>

namespace qv {

std::string ToUtf8(std::u16string_view utf16);
std::u16string ToUtf16(std::string_view utf8);
// The teaming library's name for ToUtf16.
inline std::u16string FromUtf8(std::string_view utf8) {
    return ToUtf16(utf8);
}

// False, with *out unspecified, when utf8 is not well-formed.
bool ToUtf16Strict(std::string_view utf8, std::u16string* out);

std::string ToUtf8KeepingSurrogates(std::u16string_view utf16);
bool ToUtf16KeepingSurrogates(std::string_view utf8, std::u16string* out);

}  // namespace qv
