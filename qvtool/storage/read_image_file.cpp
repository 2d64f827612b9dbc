#include "qv/qvtool/storage/read_image_file.h"

#include "messages.h"
#include "qv/qvtool/storage/image_file.h"
#include "qv/qvtool/storage/image_readers.h"

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

}  // namespace

ImageFileRead ReadImageFile(const std::string& path, bool allowSram, std::FILE* out) {
    ImageFileRead result;
    result.kind = RecognizeImageKind(path, allowSram);
    if (result.kind == ImageKind::kUnknown) {
        std::fputs("Unknown file type\n", out);
        return result;
    }
    if (result.kind != ImageKind::kSramConfig)
        std::fprintf(out, AnnouncementFormat(result.kind), path.c_str());

    const LoadedFile file = LoadImageFile(path);
    if (file.status == LoadStatus::kTooLarge) {
        std::fputs(kTooLargeMessage, out);
        return result;
    }
    if (file.status != LoadStatus::kLoaded) {
        std::fprintf(out,
                     result.kind == ImageKind::kSramConfig ? "Unable to open %s psram configuration file\n"
                                                           : "Unable to open %s board configuration file\n",
                     path.c_str());
        return result;
    }
    ImageRead read = ReadImage(result.kind, file.bytes, path);
    std::fputs(read.message.c_str(), out);
    result.ok = read.ok;
    if (read.ok) result.image = std::move(read.image);
    return result;
}

bool IsFirmwareKind(ImageKind kind) {
    return kind == ImageKind::kFirmwareText || kind == ImageKind::kFirmwareBinary;
}

uint32_t FirmwareVersionWord(const Image& image) {
    const size_t count = image.length / 4;
    return count >= 2 ? image.words[count - 2] : 0;
}

}  // namespace qv::qvtool
