#include "qv/qvtool/storage/output_file.h"

#include <filesystem>
#include <system_error>

namespace qv::qvtool {

std::FILE* OpenOutputFile(const char* path, const char* mode) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    const bool replaceable = status.type() == std::filesystem::file_type::not_found ||
                             status.type() == std::filesystem::file_type::regular;
    return replaceable ? std::fopen(path, mode) : nullptr;
}

}  // namespace qv::qvtool
