// UTF-8 <-> UTF-16: one decoder and one encoder, each parameterised by what it does with
// malformed input; ASCII runs are copied eight bytes at a time.
#include "qv/platform/utf.h"

#include <cstdint>
#include <cstring>

namespace qv {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

enum class Mode {
    kReplace,         // malformed parts become U+FFFD
    kStrict,          // malformed input is refused
    kKeepSurrogates,  // encoded surrogates are accepted; anything else malformed is refused
};

// Length of the ASCII prefix of text[start..end).
size_t AsciiRun(const char* text, size_t start, size_t end) {
    size_t i = start;
    for (; i + 8 <= end; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        if ((word & 0x8080808080808080ull) != 0) break;
    }
    while (i < end && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i - start;
}

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes utf8 into out (resized to fit). Returns false on malformed input unless mode replaces.
bool Decode(std::string_view utf8, std::u16string* out, Mode mode) {
    const char* in = utf8.data();
    const size_t n = utf8.size();
    out->resize(n);  // never more units than bytes
    char16_t* o = out->data();
    size_t i = 0;
    while (i < n) {
        const size_t run = AsciiRun(in, i, n);
        for (size_t k = 0; k < run; ++k) o[k] = static_cast<unsigned char>(in[i + k]);
        o += run;
        i += run;
        if (i == n) break;

        // A sequence of `length` bytes whose second byte lies in [low, high] (Unicode's table of
        // well-formed UTF-8 byte sequences); later bytes are plain continuation bytes.
        const auto lead = static_cast<uint8_t>(in[i]);
        size_t length = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED && mode != Mode::kKeepSurrogates) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        size_t valid = length == 0 ? 0 : 1;  // bytes of the sequence that are well formed so far
        if (valid != 0 && i + 1 < n) {
            const auto second = static_cast<uint8_t>(in[i + 1]);
            if (second >= low && second <= high) {
                valid = 2;
                while (valid < length && i + valid < n && IsContinuation(static_cast<uint8_t>(in[i + valid])))
                    ++valid;
            }
        }
        if (valid < length || length == 0) {
            if (mode != Mode::kReplace) return false;
            *o++ = kReplacement;  // one for the maximal well-formed part (at least the lead byte)
            i += valid == 0 ? 1 : valid;
            continue;
        }
        char32_t cp = lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<uint8_t>(in[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(cp);
        }
        i += length;
    }
    out->resize(static_cast<size_t>(o - out->data()));
    return true;
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Encodes utf16; a lone surrogate becomes U+FFFD or, with keepSurrogates, its own 3-byte form.
std::string Encode(std::u16string_view utf16, bool keepSurrogates) {
    const size_t n = utf16.size();
    std::string out(n * 3, '\0');  // never more than three bytes per unit
    char* o = out.data();
    size_t i = 0;
    while (i < n) {
        while (i < n && utf16[i] < 0x80) *o++ = static_cast<char>(utf16[i++]);
        if (i == n) break;
        char32_t cp = utf16[i];
        if (IsHighSurrogate(utf16[i]) && i + 1 < n && IsLowSurrogate(utf16[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (!keepSurrogates && (IsHighSurrogate(utf16[i]) || IsLowSurrogate(utf16[i]))) {
            cp = kReplacement;
        }
        ++i;
        if (cp < 0x800) {
            *o++ = static_cast<char>(0xC0 | (cp >> 6));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (cp >> 12));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {  // two units in, four bytes out
            *o++ = static_cast<char>(0xF0 | (cp >> 18));
            *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

}  // namespace

std::string ToUtf8(std::u16string_view utf16) {
    return Encode(utf16, false);
}

std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    Decode(utf8, &out, Mode::kReplace);
    return out;
}

bool ToUtf16Strict(std::string_view utf8, std::u16string* out) {
    return Decode(utf8, out, Mode::kStrict);
}

std::string ToUtf8KeepingSurrogates(std::u16string_view utf16) {
    return Encode(utf16, true);
}

bool ToUtf16KeepingSurrogates(std::string_view utf8, std::u16string* out) {
    return Decode(utf8, out, Mode::kKeepSurrogates);
}

}  // namespace qv
