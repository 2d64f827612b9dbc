#include "qv/qvtool/storage/header_conversion.h"

#include <span>

#include "qv/qvtool/storage/image.h"
#include "qv/qvtool/storage/read_image_file.h"
#include "qv/qvtool/storage/source_file.h"

namespace qv::qvtool {
namespace {

int32_t LittleEndianWord(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 4) return 0;
    return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                                uint32_t{bytes[3]} << 24);
}

}  // namespace

bool ConvertImageToSource(const std::string& path, std::FILE* out) {
    const ImageFileRead read = ReadImageFile(path, true, out);
    if (!read.ok) return false;
    const ImageKind kind = read.kind;

    int32_t version = 0;
    std::vector<uint8_t> bytes;
    const char* fileName = "bios_image.c";
    const char* arrayName = "bios_image";
    if (IsFirmwareKind(kind)) {
        bytes = FirmwareFileBytes(std::span(read.image.words).first(read.image.length / 4));
        version = static_cast<int32_t>(FirmwareVersionWord(read.image));
        fileName = kind == ImageKind::kFirmwareText ? "n5_fw.h" : "n5_fw.c";
        arrayName = "n5_fw_image";
    } else {
        bytes = ImageBytes(read.image);
        version = LittleEndianWord(bytes);
        if (kind == ImageKind::kSramConfig) {
            fileName = "psram.c";
            arrayName = "psram_image";
        }
    }
    return WriteSourceFile(fileName, FormatImageSource(fileName, arrayName, bytes, version), out);
}

}  // namespace qv::qvtool
