// Files of the simulated host that must be regular files: how its messages name a file that is
// not, and opening one without ever using a FIFO or device left in its place.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qv::sim {

// "a directory", "a FIFO", "a socket" or "a device": what a file of this mode is when not regular.
inline const char* IrregularFileKind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "a device";
}

// Opens path with flags (close-on-exec, never through a symbolic link, never blocking; created
// with mode 0644) and keeps it only when it is a regular file; -1 otherwise (errno EINVAL when
// the file is of another kind).
inline int OpenRegularFile(const char* path, int flags) {
    const int fd = open(path, flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// The lock (F_WRLCK, F_RDLCK) or unlock (F_UNLCK) of length bytes from start, for fcntl's
// open-file-description locks.
inline struct flock LockOf(short type, off_t start, off_t length) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return lock;
}

}  // namespace qv::sim
