// The output-file port on Linux: the host's own file system (the simulated machine plays no part).
// The file is opened without blocking (a FIFO without a reader would otherwise wait for one) and
// kept only when fstat says it is a regular file.
#include "qv/platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "qv/platform/utf.h"

namespace qv::file {

std::FILE* OpenForAppend(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        errno = ENOENT;
        return nullptr;
    }
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    // Regular files ignore O_NONBLOCK; it is cleared so that the stream is what fopen would give.
    ::fcntl(fd, F_SETFL, O_APPEND);
    std::FILE* file = ::fdopen(fd, "ab");
    if (file == nullptr) ::close(fd);
    return file;
}

std::FILE* OpenForAppend(std::u16string_view path) {
    return OpenForAppend(ToUtf8(path).c_str());
}

}  // namespace qv::file
