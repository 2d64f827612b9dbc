// The readers' messages, shared by every kind of image, a printf into the message text, and the
// size check of the files that are made of whole 32-bit words.
#pragma once

#include <cstddef>
#include <string>

#include "qv/qvtool/storage/image.h"

namespace qv::qvtool {

inline constexpr char kTooLargeMessage[] = "\nImage file is too large!!!!\n";
inline constexpr char kCorruptFormat[] = "\nImage file is corrupt 0x%08X!!!!\n";
inline constexpr char kNotPciMessage[] = "\nImage file is not a PCI Bios Image !!!!\n";
inline constexpr char kPartialWordMessage[] = "\nImage file is not a whole number of 32-bit words!!!!\n";

// Appends the formatted text to message.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void AppendFormat(std::string* message, const char* format, ...);

// A refused read that says why.
inline ImageRead Refused(const char* message) {
    ImageRead read;
    read.message = message;
    return read;
}

// For a file of whole words (.bin, .rom): kTooLargeMessage past limit bytes, kPartialWordMessage
// when a piece shorter than a word would be left over (never dropped silently); null when it fits.
inline const char* WordFileSizeFault(size_t size, size_t limit) {
    if (size > limit) return kTooLargeMessage;
    if (size % 4 != 0) return kPartialWordMessage;
    return nullptr;
}

}  // namespace qv::qvtool
