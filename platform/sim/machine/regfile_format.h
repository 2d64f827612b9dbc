// Constants of the .reg file format shared by the reader and the writer.
#pragma once

#include <string_view>

namespace qv::sim::regfile {

constexpr std::string_view kHeaderLine = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_LOCAL_MACHINE";
// Hex data lines are wrapped so that no line, continuation backslash included, passes this.
constexpr size_t kLineWidth = 80;
constexpr std::string_view kContinuationIndent = "  ";

}  // namespace qv::sim::regfile
