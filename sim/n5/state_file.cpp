// Mapping the adapter's state file, and creating it atomically (written aside, then renamed) so
// that no process ever maps a half-written file.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "qv/platform/wintypes.h"
#include "qv/sim/little_endian.h"
#include "qv/sim/n5/adapter.h"

namespace qv::sim::n5 {
namespace {

enum class HeaderCheck { kCurrent, kOutdated, kForeign };

HeaderCheck CheckHeader(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return HeaderCheck::kForeign;
    uint8_t header[16] = {};
    if (st.st_size < static_cast<off_t>(sizeof header) ||
        pread(fd, header, sizeof header, 0) != sizeof header) {
        return HeaderCheck::kForeign;
    }
    if (std::memcmp(header, kStateMagic, sizeof kStateMagic) != 0) return HeaderCheck::kForeign;
    const uint32_t version = Get32(header + 8);
    const uint32_t size = Get32(header + 12);
    const bool current = version == kStateLayoutVersion && size == sizeof(StateFile) &&
                         st.st_size == static_cast<off_t>(sizeof(StateFile));
    return current ? HeaderCheck::kCurrent : HeaderCheck::kOutdated;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Stores code as the error and returns value.
template <class T = bool>
T Failed(int32_t* error, int32_t code, T value = false) {
    *error = code;
    return value;
}

int32_t ErrorFromErrno(int e) {
    switch (e) {
        case ENOENT:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
            return kErrorAccessDenied;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        default:
            return kErrorGenFailure;
    }
}

// Writes a fresh file aside and moves it into place: replacing whatever is there, or, when
// creating a missing file, only if no other process created it meanwhile (so that nobody's
// mapping of a file just created is orphaned).
bool WriteFreshState(const std::filesystem::path& stateFile, bool replace, int32_t* error) {
    std::error_code ec;
    std::filesystem::create_directories(stateFile.parent_path(), ec);
    auto state = std::make_unique<StateFile>();
    WriteDefaultState(state.get());
    const std::filesystem::path temp = stateFile.string() + ".tmp." + std::to_string(getpid());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Failed(error, ErrorFromErrno(errno));
    const bool written = WriteAll(fd, state.get(), sizeof(StateFile));
    close(fd);
    bool placed = false;
    if (written && replace) {
        placed = rename(temp.c_str(), stateFile.c_str()) == 0;
    } else if (written) {
        placed = link(temp.c_str(), stateFile.c_str()) == 0 || errno == EEXIST;
    }
    unlink(temp.c_str());
    if (!placed) *error = kErrorCantWrite;
    return placed;
}

}  // namespace

bool Adapter::Reset(const std::filesystem::path& stateFile, int32_t* error) {
    return WriteFreshState(stateFile, true, error);
}

std::unique_ptr<Adapter> Adapter::Open(const std::filesystem::path& stateFile, int32_t* error) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = open(stateFile.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT) return Failed(error, ErrorFromErrno(errno), nullptr);
            if (!WriteFreshState(stateFile, false, error)) return nullptr;
            continue;
        }
        const HeaderCheck check = CheckHeader(fd);
        if (check == HeaderCheck::kForeign) {
            close(fd);
            return Failed(error, kErrorBadFormat, nullptr);
        }
        if (check == HeaderCheck::kOutdated) {
            close(fd);
            if (!Reset(stateFile, error)) return nullptr;
            continue;
        }
        void* mapped = mmap(nullptr, sizeof(StateFile), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (mapped == MAP_FAILED) return Failed(error, kErrorNotEnoughMemory, nullptr);
        return std::unique_ptr<Adapter>(new Adapter(static_cast<StateFile*>(mapped)));
    }
    return Failed(error, kErrorGenFailure, nullptr);
}

Adapter::~Adapter() {
    munmap(state_, sizeof(StateFile));
}

}  // namespace qv::sim::n5
