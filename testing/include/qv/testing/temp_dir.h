// Temporary directories and files for the suites: one helper instead of a mkdtemp per fixture.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace qv::testing {

// A new, empty directory below the system's temporary directory, named "<prefix>-<random>", and
// removed with everything in it when the object goes. A directory that cannot be made fails the
// current test (ok() is then false).
class TempDir {
  public:
    explicit TempDir(std::string_view prefix = "qv-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }
    // The path as a string, for command lines and environment variables.
    std::string str() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Everything written to an open stream (a tmpfile the code under test printed to), from its start.
std::string ReadStream(std::FILE* stream);
// Writes content to path (replacing it; parent directories are created); false when that fails.
bool WriteFile(const std::filesystem::path& path, std::string_view content);

}  // namespace qv::testing
