// Constants and messages of the .reg file format shared by the loader, the reader and the writer.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "qv/platform/wintypes.h"
#include "qv/sim/regfile.h"

namespace qv::sim::regfile {

constexpr std::string_view kHeaderLine = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_LOCAL_MACHINE";
// Hex data lines are wrapped so that no line, continuation backslash included, passes this.
constexpr size_t kLineWidth = 80;
constexpr std::string_view kContinuationIndent = "  ";

// Names travel through the registry port as terminated strings and through .reg files as single
// lines, so control characters (NUL above all) cannot be part of them.
inline bool HasControl(std::u16string_view name) {
    return std::any_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

// What an import says of a file (what names it) larger than it takes.
inline std::string TooLarge(const std::string& what) {
    return what + " is larger than " + std::to_string(kMaxRegFileSize >> 20) +
           " MiB, the most that an import takes";
}

// Sets *error to message, with the registry status appended when one is given, and returns false.
inline bool Fail(std::string* error, const std::string& message, LStatus status = kErrorSuccess) {
    *error = status == kErrorSuccess ? message : message + " (error " + std::to_string(status) + ")";
    return false;
}

}  // namespace qv::sim::regfile
