// Reading an image file named on the command line, as -k and -p both do: recognise the kind by the
// name, announce the check, load the file and run the kind's reader, printing every message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "qv/qvtool/storage/image.h"
#include "qv/qvtool/storage/image_kind.h"

namespace qv::qvtool {

struct ImageFileRead {
    ImageKind kind = ImageKind::kUnknown;
    bool ok = false;
    Image image;  // with ok
};

// allowSram admits the SRAM configuration text (.txt), which only the conversion takes.
ImageFileRead ReadImageFile(const std::string& path, bool allowSram, std::FILE* out);

bool IsFirmwareKind(ImageKind kind);

// The firmware's version: the word before its last word (0 for an image of fewer than two words).
uint32_t FirmwareVersionWord(const Image& image);

}  // namespace qv::qvtool
