#include "qv/qvtool/storage/image_kind.h"

#include <cctype>
#include <cstddef>

namespace qv::qvtool {
namespace {

// As _strnicmp(text, name, count) == 0: the first count characters agree without regard to case,
// where a shorter text must end where the name ends.
bool ExtensionIs(std::string_view text, const char* name, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        if (std::tolower(static_cast<unsigned char>(c)) != name[i]) return false;
        if (name[i] == '\0') return true;
    }
    return true;
}

}  // namespace

ImageKind RecognizeImageKind(std::string_view path, bool allowSram) {
    // The last component only: a dot in a directory name is no extension.
    const size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return ImageKind::kUnknown;
    const std::string_view extension = name.substr(dot + 1);
    if (ExtensionIs(extension, "ascii", 5)) return ImageKind::kFirmwareText;
    if (ExtensionIs(extension, "bin", 3)) return ImageKind::kFirmwareBinary;
    if (allowSram && ExtensionIs(extension, "txt", 3)) return ImageKind::kSramConfig;
    if (ExtensionIs(extension, "rom", 3)) return ImageKind::kRawRom;
    if (ExtensionIs(extension, "img", 3)) return ImageKind::kExecutableRom;
    return ImageKind::kUnknown;
}

const char* AnnouncementFormat(ImageKind kind) {
    switch (kind) {
        case ImageKind::kFirmwareText:
            return "\nChecking integrety of Firmware text image file %s.\n";
        case ImageKind::kFirmwareBinary:
        case ImageKind::kExecutableRom:
            return "\nChecking integrety of Firmware binary image file %s.\n";
        case ImageKind::kRawRom:
            return "\nChecking integrety of Bios binary image file %s.\n";
        case ImageKind::kSramConfig:
        case ImageKind::kUnknown:
            break;
    }
    return "";
}

}  // namespace qv::qvtool
