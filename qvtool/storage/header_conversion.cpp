#include "qv/qvtool/storage/header_conversion.h"

#include "qv/qvtool/storage/read_image_file.h"
#include "qv/qvtool/storage/source_file.h"

namespace qv::qvtool {
namespace {

int32_t LittleEndianWord(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 4) return 0;
    return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                                uint32_t{bytes[3]} << 24);
}

// The firmware's bytes as the adapter keeps them: each word most significant byte first. Its
// version is the word before the last (0 for an image of fewer than two words).
std::vector<uint8_t> FirmwareBytes(const Image& image, int32_t* version) {
    const size_t count = image.length / 4;
    *version = static_cast<int32_t>(FirmwareVersionWord(image));
    std::vector<uint8_t> bytes;
    bytes.reserve(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t w = image.words[i];
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(w >> shift));
    }
    return bytes;
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
        bytes = FirmwareBytes(read.image, &version);
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
