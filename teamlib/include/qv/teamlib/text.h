// UTF-16 text helpers of the teaming side: printf-style formatting over char16_t, conversion to and
// from UTF-8 for the console and files, and the bounded copies and compares that the store and the
// front ends use.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

// printf-style formatting with UTF-16 format strings, following the wide printf conventions of the
// Windows C runtime: %s and %c take UTF-16 (const char16_t*, char16_t promoted to int), %hs takes
// a narrow char*, %d %i %u %x %X %o %p %% with flags "-0+ #", width, precision and the length
// modifiers h, l, ll, z. A null %s prints "(null)". Never writes out of bounds.
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

// Case-insensitive comparison of UTF-16 text (ASCII and Latin-1 letters fold; others compare as is).
int U16CompareNoCase(std::u16string_view a, std::u16string_view b);
bool U16EqualNoCase(std::u16string_view a, std::u16string_view b);

// UTF-8 <-> UTF-16. Invalid sequences become U+FFFD; never fails.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace qv
