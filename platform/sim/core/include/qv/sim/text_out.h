// How the calls of the simulated host hand text out to a caller's buffer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace qv::sim {

// The buffer size text needs: its characters and the terminator.
inline uint32_t NeededSize(std::u16string_view text) {
    return static_cast<uint32_t>(text.size() + 1);
}

// Copies text and its terminator to buffer; false, copying nothing, when buffer is null or holds
// fewer than NeededSize(text) characters.
inline bool CopyText(std::u16string_view text, char16_t* buffer, size_t size) {
    if (buffer == nullptr || size < text.size() + 1) return false;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return true;
}

// As the directory calls answer: the length copied, or NeededSize(text) when buffer is too small.
inline uint32_t CopyTextOrSize(std::u16string_view text, char16_t* buffer, size_t size) {
    return CopyText(text, buffer, size) ? static_cast<uint32_t>(text.size()) : NeededSize(text);
}

// Copies as much of text as fits in capacity with its terminator; the length copied. A missing
// or empty buffer gets nothing.
inline uint32_t CopyTextCut(std::u16string_view text, char16_t* buffer, size_t capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    const size_t length = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), length, buffer);
    buffer[length] = u'\0';
    return static_cast<uint32_t>(length);
}

}  // namespace qv::sim
