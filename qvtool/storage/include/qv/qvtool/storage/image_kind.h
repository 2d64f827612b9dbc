// The kinds of image file, told apart by the file name's extension.
#pragma once

#include <string_view>

namespace qv::qvtool {

enum class ImageKind {
    kUnknown,
    kFirmwareText,    // .ascii
    kFirmwareBinary,  // .bin
    kSramConfig,      // .txt, only for the header conversion
    kRawRom,          // .rom
    kExecutableRom,   // .img: the boot image is the load module of a DOS executable
};

// The kind of the file named by path: the extension is the text after the last "." of the last
// path component, compared without regard to case over the first 5 characters for "ascii" and the
// first 3 for the others, in the order ascii, bin, txt (when allowSram), rom, img.
ImageKind RecognizeImageKind(std::string_view path, bool allowSram);

// "\nChecking integrety of ... image file %s.\n" for the kind (empty for the SRAM configuration).
const char* AnnouncementFormat(ImageKind kind);

}  // namespace qv::qvtool
