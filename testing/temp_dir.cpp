#include "qv/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace qv::testing {

TempDir::TempDir(std::string_view prefix) {
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    if (ec) {
        ADD_FAILURE() << "no temporary directory: " << ec.message();
        return;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    // create_directory reports whether it made the directory, so a name taken meanwhile is retried.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "-%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        const auto candidate = base / (std::string(prefix) + suffix);
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
        if (ec) break;
    }
    ADD_FAILURE() << "cannot make a temporary directory in " << base.string()
                  << (ec ? ": " + ec.message() : std::string());
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadStream(std::FILE* stream) {
    std::string text;
    std::fflush(stream);
    std::rewind(stream);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream)) > 0;) text.append(buffer, n);
    return text;
}

bool WriteFile(const std::filesystem::path& path, std::string_view content) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace qv::testing
