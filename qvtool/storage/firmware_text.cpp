// The firmware text reader: one hexadecimal word per line, each line read as "%x" reads it. A line
// must fit the reader's 15 characters whole; one that does not is refused rather than split into
// several words or cut, either of which would program words the file does not say.
#include <cctype>
#include <cstring>

#include "firmware_check.h"
#include "hex_digit.h"
#include "messages.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {
namespace {

constexpr size_t kMaxLineLength = 15;

enum class Piece { kWord, kNoNumber, kTooWide };

// One line as "%x" reads it: white space, an optional sign, an optional "0x", hexadecimal digits.
// A minus sign or a value beyond 32 bits would wrap, so such a line is kTooWide.
Piece ReadPiece(const uint8_t* piece, size_t length, uint32_t* word) {
    size_t i = 0;
    while (i < length && std::isspace(piece[i])) ++i;
    bool negative = false;
    if (i < length && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    if (i + 2 < length && piece[i] == '0' && (piece[i + 1] | 0x20) == 'x' && HexDigit(piece[i + 2]) >= 0) {
        i += 2;
    }
    uint64_t value = 0;
    size_t digits = 0;
    for (; i < length && HexDigit(piece[i]) >= 0; ++i, ++digits) {
        value = value * 16 + static_cast<uint64_t>(HexDigit(piece[i]));
        if (value > 0xFFFFFFFFu) return Piece::kTooWide;
    }
    if (digits == 0) return Piece::kNoNumber;
    if (negative && value != 0) return Piece::kTooWide;
    *word = static_cast<uint32_t>(value);
    return Piece::kWord;
}

}  // namespace

ImageRead ReadFirmwareText(const uint8_t* data, size_t size) {
    std::vector<uint32_t> words;
    unsigned line = 0;
    for (size_t pos = 0; pos < size;) {
        ++line;
        const void* newline = std::memchr(data + pos, '\n', size - pos);
        const size_t end =
            newline != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(newline) - data) : size;
        // The line end ("\n" or "\r\n") is not part of the line.
        size_t length = end - pos;
        if (length > 0 && data[pos + length - 1] == '\r') --length;
        if (length > kMaxLineLength) {
            ImageRead refused;
            AppendFormat(&refused.message, "\nImage file line %u is longer than %u characters!!!!\n", line,
                         static_cast<unsigned>(kMaxLineLength));
            return refused;
        }
        uint32_t word = 0;
        const Piece piece = ReadPiece(data + pos, length, &word);
        if (piece == Piece::kNoNumber) break;
        if (piece == Piece::kTooWide) return Refused("\nImage file holds a word wider than 32 bits!!!!\n");
        words.push_back(word);
        // No need to read on: the image is already too large.
        if (words.size() > kMaxFirmwareBytes / 4) break;
        pos = end + 1;
    }
    return CheckFirmwareWords(std::move(words));
}

}  // namespace qv::qvtool
