// How the simulated host's messages name a file that is not a regular file.
#pragma once

#include <sys/stat.h>

namespace qv::sim {

// "a directory", "a FIFO", "a socket" or "a device": what a file of this mode is when not regular.
inline const char* IrregularFileKind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "a device";
}

}  // namespace qv::sim
