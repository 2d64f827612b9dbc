// UTF-16 text helpers of the teaming side: printf-style formatting over char16_t, and the bounded
// copies and compares that the store and the front ends use. Conversion to and from UTF-8 for the
// console and files (ToUtf8, FromUtf8) comes with this header from qv/platform/utf.h.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "qv/platform/utf.h"

namespace qv {

// printf-style formatting with UTF-16 format strings, following the wide printf conventions of the
// Windows C runtime: %s and %c take UTF-16 (const char16_t*, char16_t promoted to int), %hs and %S
// take a narrow char*, %hc and %C a narrow char; %ls/%ws are UTF-16 again. Integers %d %i %u %x %X
// %o, %p (upper-case hex, pointer width, no "0x"), %e %f %g, %% with flags "-0+ #", width and
// precision (digits or '*') and the length modifiers hh, h, l, ll, I64, z. As on Windows, "l" is
// 32 bits: pass int32_t/uint32_t with %ld/%lu/%lx, 64-bit values with ll, I64 or z. A null string
// prints "(null)"; %n writes nothing; an unknown directive is copied as written. Widths and
// precisions above 4096 are cut to 4096. Never writes out of bounds.
std::u16string U16Format(const char16_t* format, ...);
std::u16string U16VFormat(const char16_t* format, va_list args);

// StringCchPrintfW-like: formats into buffer of capacity units (with terminator). Returns false,
// with a truncated but terminated buffer, when the result does not fit; false with an empty
// buffer when capacity is 0.
bool U16FormatInto(char16_t* buffer, size_t capacity, const char16_t* format, ...);

// StringCchCopyW-like bounded copy: copies at most capacity - 1 units and terminates. Returns
// false when the source was cut.
bool U16CopyInto(char16_t* buffer, size_t capacity, std::u16string_view source);

// Length of a terminated string, stopping at limit (StringCchLength: false when no terminator is
// found within limit units).
bool U16LengthWithin(const char16_t* text, size_t limit, size_t* length);

// The text of a fixed-size slot up to its terminator; empty when the slot holds none.
inline std::u16string_view SlotText(const char16_t* slot, size_t capacity) {
    size_t length = 0;
    return U16LengthWithin(slot, capacity, &length) ? std::u16string_view(slot, length)
                                                    : std::u16string_view();
}

// Case-insensitive comparison of UTF-16 text (ASCII and Latin-1 letters fold; others compare as is).
int U16CompareNoCase(std::u16string_view a, std::u16string_view b);
bool U16EqualNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace qv
