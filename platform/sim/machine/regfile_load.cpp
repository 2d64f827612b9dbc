// Reading a .reg file from disk with its size bounded and without blocking on special files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "qv/sim/file_kind.h"
#include "qv/sim/regfile.h"
#include "regfile_format.h"

namespace qv::sim {
namespace {

// False, with the reason in *error, when info is not that of a regular file.
bool Regular(const std::filesystem::path& path, const struct stat& info, std::string* error) {
    return S_ISREG(info.st_mode) ||
           regfile::Fail(error,
                         path.string() + " is " + IrregularFileKind(info.st_mode) + ", not a regular file");
}

}  // namespace

bool LoadRegFile(const std::filesystem::path& path, std::string* content, std::string* error) {
    // Checked before opening, since opening a FIFO can wait for a writer; checked again on the
    // open file in case the name was replaced meanwhile.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !Regular(path, info, error)) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return regfile::Fail(error, "cannot read " + path.string());
    bool ok = fstat(fd, &info) == 0 && Regular(path, info, error);
    if (ok && static_cast<uint64_t>(info.st_size) > kMaxRegFileSize) {
        ok = regfile::Fail(error, regfile::TooLarge(path.string()));
    }
    if (ok) {
        // The size is checked again while reading: the file may grow meanwhile.
        content->clear();
        content->reserve(static_cast<size_t>(info.st_size));
        char buffer[1 << 16];
        for (;;) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                if (got < 0) *error = "cannot read " + path.string();
                ok = got == 0;
                break;
            }
            if (content->size() + static_cast<size_t>(got) > kMaxRegFileSize) {
                ok = regfile::Fail(error, regfile::TooLarge(path.string()));
                break;
            }
            content->append(buffer, static_cast<size_t>(got));
        }
    }
    close(fd);
    return ok;
}

}  // namespace qv::sim
