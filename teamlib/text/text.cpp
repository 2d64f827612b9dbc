// UTF-16 formatting, bounded copies and compares.
#include "qv/teamlib/text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "format_directive.h"

namespace qv {
namespace {

using text_detail::FormatDirective;
using text_detail::Length;

void AppendAscii(std::u16string& out, const char* text, size_t count) {
    for (size_t i = 0; i < count; ++i) out.push_back(static_cast<unsigned char>(text[i]));
}

void Pad(std::u16string& out, int count, char16_t fill) {
    if (count > 0) out.append(static_cast<size_t>(count), fill);
}

// Writes body (already converted) padded to the field width.
void EmitPadded(std::u16string& out, const FormatDirective& directive, std::u16string_view body) {
    const int padding = directive.width - static_cast<int>(body.size());
    if (!directive.leftAlign) Pad(out, padding, u' ');
    out.append(body);
    if (directive.leftAlign) Pad(out, padding, u' ');
}

// Reads an integer argument of the size the length modifier names. "l" is 32 bits as with the
// Windows C runtime (pass int32_t/uint32_t); "ll", "I64", "z" and "j" are 64 bits.
uint64_t FetchUnsigned(const FormatDirective& directive, va_list& args) {
    switch (directive.length) {
        case Length::kChar:
            return static_cast<unsigned char>(va_arg(args, int));
        case Length::kShort:
            return static_cast<uint16_t>(va_arg(args, int));
        case Length::kLongLong:
            return va_arg(args, unsigned long long);
        case Length::kSize:
            return va_arg(args, size_t);
        default:
            return va_arg(args, unsigned int);
    }
}

int64_t FetchSigned(const FormatDirective& directive, va_list& args) {
    switch (directive.length) {
        case Length::kChar:
            return static_cast<signed char>(va_arg(args, int));
        case Length::kShort:
            return static_cast<int16_t>(va_arg(args, int));
        case Length::kLongLong:
            return va_arg(args, long long);
        case Length::kSize:
            return static_cast<int64_t>(va_arg(args, size_t));
        default:
            return va_arg(args, int);
    }
}

void EmitInteger(std::u16string& out, const FormatDirective& directive, uint64_t magnitude, bool negative,
                 bool isSigned) {
    const unsigned base = directive.conversion == 'o'                                    ? 8
                          : (directive.conversion == 'x' || directive.conversion == 'X') ? 16
                                                                                         : 10;
    const char* digitSet = directive.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";

    char digits[32];
    int count = 0;
    for (uint64_t v = magnitude; v != 0; v /= base) digits[count++] = digitSet[v % base];
    const int precision = directive.precision < 0 ? 1 : directive.precision;

    char prefix[3] = {};
    int prefixLength = 0;
    if (isSigned) {
        if (negative) {
            prefix[prefixLength++] = '-';
        } else if (directive.plusSign) {
            prefix[prefixLength++] = '+';
        } else if (directive.spaceSign) {
            prefix[prefixLength++] = ' ';
        }
    }
    if (directive.alternate && magnitude != 0 && base == 16) {
        prefix[prefixLength++] = '0';
        prefix[prefixLength++] = directive.conversion;
    }
    int zeros = precision > count ? precision - count : 0;
    if (directive.alternate && base == 8 && zeros == 0 && (count == 0 || digits[count - 1] != '0')) zeros = 1;

    int total = prefixLength + zeros + count;
    if (directive.zeroPad && !directive.leftAlign && directive.precision < 0 && directive.width > total) {
        zeros += directive.width - total;
        total = directive.width;
    }
    if (!directive.leftAlign) Pad(out, directive.width - total, u' ');
    AppendAscii(out, prefix, static_cast<size_t>(prefixLength));
    Pad(out, zeros, u'0');
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<char16_t>(digits[i]));
    if (directive.leftAlign) Pad(out, directive.width - total, u' ');
}

void EmitNarrowString(std::u16string& out, const FormatDirective& directive, const char* text) {
    if (text == nullptr) text = "(null)";
    size_t length = 0;
    while (text[length] != '\0' &&
           (directive.precision < 0 || length < static_cast<size_t>(directive.precision)))
        ++length;
    std::u16string body;
    body.reserve(length);
    AppendAscii(body, text, length);
    EmitPadded(out, directive, body);
}

void EmitWideString(std::u16string& out, const FormatDirective& directive, const char16_t* text) {
    if (text == nullptr) text = u"(null)";
    size_t length = 0;
    while (text[length] != u'\0' &&
           (directive.precision < 0 || length < static_cast<size_t>(directive.precision)))
        ++length;
    EmitPadded(out, directive, std::u16string_view(text, length));
}

// Floating point goes through the C library with the same flags, width and precision.
void EmitFloating(std::u16string& out, const FormatDirective& directive, double value) {
    char format[32];
    int pos = 0;
    format[pos++] = '%';
    if (directive.leftAlign) format[pos++] = '-';
    if (directive.plusSign) format[pos++] = '+';
    if (directive.spaceSign) format[pos++] = ' ';
    if (directive.alternate) format[pos++] = '#';
    if (directive.zeroPad) format[pos++] = '0';
    format[pos++] = '*';
    format[pos++] = '.';
    format[pos++] = '*';
    format[pos++] = directive.conversion;
    format[pos] = '\0';
    char buffer[512];
    const int width = directive.width > 400 ? 400 : directive.width;
    const int precision =
        directive.precision < 0 ? 6 : (directive.precision > 100 ? 100 : directive.precision);
    int written = std::snprintf(buffer, sizeof buffer, format, width, precision, value);
    if (written < 0) return;
    if (static_cast<size_t>(written) >= sizeof buffer) written = sizeof buffer - 1;
    AppendAscii(out, buffer, static_cast<size_t>(written));
}

void EmitConversion(std::u16string& out, const FormatDirective& directive, va_list& args) {
    switch (directive.conversion) {
        case 'd':
        case 'i': {
            const int64_t value = FetchSigned(directive, args);
            const bool negative = value < 0;
            const uint64_t magnitude =
                negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
            EmitInteger(out, directive, magnitude, negative, true);
            break;
        }
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            EmitInteger(out, directive, FetchUnsigned(directive, args), false, false);
            break;
        case 'p': {
            FormatDirective pointer{};
            pointer.conversion = 'X';
            pointer.precision = static_cast<int>(sizeof(void*) * 2);
            pointer.width = directive.width;
            pointer.leftAlign = directive.leftAlign;
            EmitInteger(out, pointer, reinterpret_cast<uintptr_t>(va_arg(args, void*)), false, false);
            break;
        }
        case 'c':
        case 'C': {
            const int value = va_arg(args, int);
            const bool narrow = directive.conversion == 'C' ? directive.length != Length::kLong
                                                            : directive.length == Length::kShort;
            const char16_t unit = narrow ? static_cast<char16_t>(static_cast<unsigned char>(value))
                                         : static_cast<char16_t>(value);
            EmitPadded(out, directive, std::u16string_view(&unit, 1));
            break;
        }
        case 's':
        case 'S': {
            // Wide printf: %s is UTF-16 unless "h" asks for narrow text; %S is the opposite.
            const bool narrow = directive.conversion == 'S' ? directive.length != Length::kLong
                                                            : directive.length == Length::kShort;
            if (narrow) {
                EmitNarrowString(out, directive, va_arg(args, const char*));
            } else {
                EmitWideString(out, directive, va_arg(args, const char16_t*));
            }
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
            EmitFloating(out, directive, va_arg(args, double));
            break;
        case 'n':
            // Writing through an argument pointer is never honoured.
            (void)va_arg(args, void*);
            break;
        default:
            break;
    }
}

char16_t FoldCase(char16_t u) {
    if (u >= u'A' && u <= u'Z') return static_cast<char16_t>(u + 0x20);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char16_t>(u + 0x20);
    return u;
}

}  // namespace

std::u16string U16VFormat(const char16_t* format, va_list args) {
    std::u16string out;
    if (format == nullptr) return out;
    va_list work;
    va_copy(work, args);
    const char16_t* p = format;
    while (*p != u'\0') {
        const char16_t* percent = p;
        while (*percent != u'\0' && *percent != u'%') ++percent;
        out.append(p, static_cast<size_t>(percent - p));
        if (*percent == u'\0') break;
        FormatDirective directive{};
        const char16_t* next = text_detail::ParseFormatDirective(percent + 1, &directive, work);
        if (directive.conversion == '%') {
            out.push_back(u'%');
        } else if (directive.conversion == '\0') {
            // Unknown or cut-off directive: shown as written, consuming no argument.
            out.append(percent, static_cast<size_t>(next - percent));
        } else {
            EmitConversion(out, directive, work);
        }
        p = next;
    }
    va_end(work);
    return out;
}

std::u16string U16Format(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::u16string out = U16VFormat(format, args);
    va_end(args);
    return out;
}

bool U16FormatInto(char16_t* buffer, size_t capacity, const char16_t* format, ...) {
    if (buffer == nullptr || capacity == 0) return false;
    va_list args;
    va_start(args, format);
    const std::u16string text = U16VFormat(format, args);
    va_end(args);
    return U16CopyInto(buffer, capacity, text);
}

bool U16CopyInto(char16_t* buffer, size_t capacity, std::u16string_view source) {
    if (buffer == nullptr || capacity == 0) return false;
    const size_t count = source.size() < capacity ? source.size() : capacity - 1;
    if (count != 0) std::memcpy(buffer, source.data(), count * sizeof(char16_t));
    buffer[count] = u'\0';
    return count == source.size();
}

bool U16LengthWithin(const char16_t* text, size_t limit, size_t* length) {
    if (text == nullptr) return false;
    for (size_t i = 0; i < limit; ++i) {
        if (text[i] == u'\0') {
            if (length != nullptr) *length = i;
            return true;
        }
    }
    return false;
}

int U16CompareNoCase(std::u16string_view a, std::u16string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const char16_t x = FoldCase(a[i]);
        const char16_t y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool U16EqualNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && U16CompareNoCase(a, b) == 0;
}

}  // namespace qv
