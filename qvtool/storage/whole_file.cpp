#include "qv/qvtool/storage/whole_file.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "qv/qvtool/storage/output_file.h"

namespace qv::qvtool {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxNameTries = 99;

bool WriteAndFlush(const std::string& path, const std::string& contents) {
    std::FILE* file = OpenOutputFile(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size() &&
                         std::fflush(file) == 0;
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool WriteFileWhole(const std::string& path, const std::string& contents, Existing existing) {
    std::error_code error;
    const fs::file_type type = fs::symlink_status(path, error).type();
    if (type != fs::file_type::not_found && (existing == Existing::kKeep || type != fs::file_type::regular)) {
        return false;
    }
    const std::string partial = path + ".partial";
    if (!WriteAndFlush(partial, contents)) {
        fs::remove(partial, error);
        return false;
    }
    // Checked again just before the rename: a file that appeared meanwhile is not replaced either.
    if (existing == Existing::kKeep && fs::symlink_status(path, error).type() != fs::file_type::not_found) {
        fs::remove(partial, error);
        return false;
    }
    fs::rename(partial, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        return false;
    }
    return true;
}

std::string BackupFileName(const std::string& adapter, const char* area, const char* extension,
                           std::time_t when) {
    std::string name;
    for (const char c : adapter) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
        name += plain ? c : '_';
    }
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return name + "-" + area + "-" + stamp + "." + extension;
}

std::string SaveBackupFile(const std::string& adapter, const char* area, const char* extension,
                           const std::string& contents) {
    const std::string base = BackupFileName(adapter, area, extension, std::time(nullptr));
    const std::string stem = base.substr(0, base.size() - std::char_traits<char>::length(extension) - 1);
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string name =
            attempt == 1 ? base : stem + "-" + std::to_string(attempt) + "." + extension;
        std::error_code error;
        if (fs::symlink_status(name, error).type() != fs::file_type::not_found) continue;
        return WriteFileWhole(name, contents, Existing::kKeep) ? name : std::string();
    }
    return {};
}

}  // namespace qv::qvtool
