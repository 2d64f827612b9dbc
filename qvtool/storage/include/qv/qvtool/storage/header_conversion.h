// Option -k: an image file turned into C source with fixed names, in the current directory.
#pragma once

#include <cstdio>
#include <string>

namespace qv::qvtool {

// Recognises the kind of the file at path, reads and checks it, and writes n5_fw.h (firmware
// text), n5_fw.c (firmware binary), psram.c (SRAM configuration) or bios_image.c (boot images).
// Messages go to out. True when the source file was written; a file that fails any check writes
// nothing.
bool ConvertImageToSource(const std::string& path, std::FILE* out);

}  // namespace qv::qvtool
