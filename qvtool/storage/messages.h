// The readers' messages, shared by every kind of image, and a printf into the message text.
#pragma once

#include <string>

namespace qv::qvtool {

inline constexpr char kTooLargeMessage[] = "\nImage file is too large!!!!\n";
inline constexpr char kCorruptFormat[] = "\nImage file is corrupt 0x%08X!!!!\n";

// Appends the formatted text to message.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void AppendFormat(std::string* message, const char* format, ...);

}  // namespace qv::qvtool
