// The C source that the header conversion writes: a comment block, the image's size and version as
// ints, and the image as a char array, eight bytes to a line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qv::qvtool {

// The whole text of the file fileName that defines <arrayName>_sz, <arrayName>_vers and
// <arrayName>[] with the given bytes.
std::string FormatImageSource(const char* fileName, const char* arrayName, const std::vector<uint8_t>& bytes,
                              int32_t version);

// Creates (or replaces) fileName with text, byte for byte, through a temporary file renamed over
// it when complete: a failed write leaves the earlier file as it was. False, with the reason printed
// to out, when the file is not a regular file or cannot be written whole.
bool WriteSourceFile(const char* fileName, const std::string& text, std::FILE* out);

}  // namespace qv::qvtool
