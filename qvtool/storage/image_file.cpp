#include "qv/qvtool/storage/image_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace qv::qvtool {

LoadedFile LoadImageFile(const std::string& path, size_t maxBytes) {
    LoadedFile loaded;
    std::error_code error;
    // Checked before opening: opening a FIFO for reading would wait for a writer.
    if (path.empty() || !std::filesystem::is_regular_file(std::filesystem::path(path), error)) return loaded;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return loaded;
    // One byte more than allowed tells a file that is too large, however it changed since the check.
    std::vector<uint8_t> bytes(maxBytes + 1);
    size_t total = 0;
    while (total < bytes.size()) {
        const size_t got = std::fread(bytes.data() + total, 1, bytes.size() - total, file.get());
        if (got == 0) break;
        total += got;
    }
    if (std::ferror(file.get())) return loaded;
    if (total > maxBytes) {
        loaded.status = LoadStatus::kTooLarge;
        return loaded;
    }
    bytes.resize(total);
    loaded.bytes = std::move(bytes);
    loaded.status = LoadStatus::kLoaded;
    return loaded;
}

}  // namespace qv::qvtool
