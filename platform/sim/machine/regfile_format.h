// Constants of the .reg file format shared by the reader and the writer.
#pragma once

#include <algorithm>
#include <string_view>

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

}  // namespace qv::sim::regfile
