// The firmware text reader. The file is taken as the C runtime's line reader hands it over through
// a 16-character buffer (pieces of at most 15 characters, each ending at a line end), and each
// piece is read as "%x" reads it.
#include <cctype>

#include "firmware_check.h"
#include "hex_digit.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {
namespace {

constexpr size_t kPieceLength = 15;

enum class Piece { kWord, kNoNumber, kTooWide };

// One piece as "%x" reads it: white space, an optional sign, an optional "0x", hexadecimal digits.
// A minus sign or a value beyond 32 bits would wrap, so such a piece is kTooWide.
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
    size_t pos = 0;
    while (pos < size) {
        const size_t start = pos;
        while (pos < size && pos - start < kPieceLength) {
            if (data[pos++] == '\n') break;
        }
        uint32_t word = 0;
        const Piece piece = ReadPiece(data + start, pos - start, &word);
        if (piece == Piece::kNoNumber) break;
        if (piece == Piece::kTooWide) {
            ImageRead refused;
            refused.message = "\nImage file holds a word wider than 32 bits!!!!\n";
            return refused;
        }
        words.push_back(word);
        // No need to read on: the image is already too large.
        if (words.size() > kMaxFirmwareBytes / 4) break;
    }
    return CheckFirmwareWords(std::move(words));
}

}  // namespace qv::qvtool
