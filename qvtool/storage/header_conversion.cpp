#include "qv/qvtool/storage/header_conversion.h"

#include "messages.h"
#include "qv/qvtool/storage/image_file.h"
#include "qv/qvtool/storage/image_kind.h"
#include "qv/qvtool/storage/image_readers.h"
#include "qv/qvtool/storage/source_file.h"

namespace qv::qvtool {
namespace {

ImageRead ReadImage(ImageKind kind, const std::vector<uint8_t>& bytes, const std::string& path) {
    switch (kind) {
        case ImageKind::kFirmwareText:
            return ReadFirmwareText(bytes.data(), bytes.size());
        case ImageKind::kFirmwareBinary:
            return ReadFirmwareBinary(bytes.data(), bytes.size());
        case ImageKind::kSramConfig:
            return ReadSramText(bytes.data(), bytes.size());
        case ImageKind::kRawRom:
            return ReadRawRom(bytes.data(), bytes.size());
        case ImageKind::kExecutableRom:
            return ReadExecutableRom(bytes.data(), bytes.size(), path);
        case ImageKind::kUnknown:
            break;
    }
    return {};
}

bool IsFirmware(ImageKind kind) {
    return kind == ImageKind::kFirmwareText || kind == ImageKind::kFirmwareBinary;
}

int32_t LittleEndianWord(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 4) return 0;
    return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                                uint32_t{bytes[3]} << 24);
}

// The firmware's bytes as the adapter keeps them: each word most significant byte first. Its
// version is the word before the last (0 for an image of fewer than two words).
std::vector<uint8_t> FirmwareBytes(const Image& image, int32_t* version) {
    const size_t count = image.length / 4;
    *version = count >= 2 ? static_cast<int32_t>(image.words[count - 2]) : 0;
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
    const ImageKind kind = RecognizeImageKind(path, true);
    if (kind == ImageKind::kUnknown) {
        std::fputs("Unknown file type\n", out);
        return false;
    }
    if (kind != ImageKind::kSramConfig) std::fprintf(out, AnnouncementFormat(kind), path.c_str());

    const LoadedFile file = LoadImageFile(path);
    if (file.status == LoadStatus::kTooLarge) {
        std::fputs(kTooLargeMessage, out);
        return false;
    }
    if (file.status != LoadStatus::kLoaded) {
        std::fprintf(out,
                     kind == ImageKind::kSramConfig ? "Unable to open %s psram configuration file\n"
                                                    : "Unable to open %s board configuration file\n",
                     path.c_str());
        return false;
    }
    const ImageRead read = ReadImage(kind, file.bytes, path);
    std::fputs(read.message.c_str(), out);
    if (!read.ok) return false;

    int32_t version = 0;
    std::vector<uint8_t> bytes;
    const char* fileName = "bios_image.c";
    const char* arrayName = "bios_image";
    if (IsFirmware(kind)) {
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
