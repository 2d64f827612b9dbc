// Processes of the simulated host are the Linux processes; a host binary reports the image name
// it would have on Windows ("QvTeamCmd" -> "QvTeamCmd.exe").
#include "qv/platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "qv/platform/wintypes.h"
#include "qv/sim/utf.h"

namespace qv::proc {
namespace {

// Positive decimal process ids only ("self", "123abc" and friends are skipped).
bool ParsePid(const char* text, uint32_t* pid) {
    if (*text == '\0') return false;
    uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value > 0xFFFFFFFFu) return false;
    }
    *pid = static_cast<uint32_t>(value);
    return value != 0;
}

// The executable's base name from /proc/<pid>/exe, else the command name from /proc/<pid>/comm.
std::string ProcessBaseName(uint32_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%u/exe", pid);
    char target[4096];
    const ssize_t n = readlink(path, target, sizeof target - 1);
    if (n > 0) {
        std::string exe(target, static_cast<size_t>(n));
        constexpr std::string_view kDeleted = " (deleted)";
        if (exe.size() > kDeleted.size() && exe.ends_with(kDeleted)) exe.resize(exe.size() - kDeleted.size());
        const auto slash = exe.rfind('/');
        return slash == std::string::npos ? exe : exe.substr(slash + 1);
    }
    // Plain open/read/close: a stdio stream costs extra system calls per process, and kernel
    // threads (most of the list) always end up here. The kernel writes the name and its newline
    // in one read; reading stops at the newline, the end or a full buffer.
    std::snprintf(path, sizeof path, "/proc/%u/comm", pid);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char comm[64] = {};
    size_t got = 0;
    while (got < sizeof comm - 1) {
        const ssize_t part = read(fd, comm + got, sizeof comm - 1 - got);
        if (part < 0 && errno == EINTR) continue;
        if (part <= 0) break;
        got += static_cast<size_t>(part);
        if (std::memchr(comm, '\n', got)) break;
    }
    close(fd);
    std::string name(comm, got);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
    return name;
}

// Kernel threads are what runs inside the one System process of a Windows machine, and a zombie
// is a process that has ended: neither is a process of its own in the list. Both are the pids
// without an executable image (readlink of exe says ENOENT); kthreadd (pid 2), the parent of every
// kernel thread, stands in the list for all of them. A process whose image cannot be read for
// another reason (another user's) is listed.
bool ListedAsProcess(int procDir, const char* pid) {
    if (std::strcmp(pid, "2") == 0) return true;
    char path[32];
    std::snprintf(path, sizeof path, "%.20s/exe", pid);
    char target[1];
    return readlinkat(procDir, path, target, sizeof target) >= 0 || errno != ENOENT;
}

bool EndsWithExe(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (auto& c : tail) c = static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
    return tail == ".exe";
}

}  // namespace

bool EnumProcesses(uint32_t* processIds, uint32_t bufferBytes, uint32_t* bytesReturned) {
    if (processIds == nullptr || bytesReturned == nullptr) {
        SetLastError(static_cast<uint32_t>(kErrorInvalidParameter));
        return false;
    }
    DIR* dir = opendir("/proc");
    if (!dir) {
        SetLastError(static_cast<uint32_t>(kErrorAccessDenied));
        return false;
    }
    const uint32_t capacity = bufferBytes / 4;
    uint32_t count = 0;
    while (count < capacity) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry) break;
        uint32_t pid = 0;
        if (ParsePid(entry->d_name, &pid) && ListedAsProcess(dirfd(dir), entry->d_name)) processIds[count++] = pid;
    }
    closedir(dir);
    *bytesReturned = count * 4;
    return true;
}

uint32_t GetProcessImageBaseName(uint32_t processId, char16_t* name, uint32_t capacity) {
    if (name == nullptr || capacity == 0) {
        SetLastError(static_cast<uint32_t>(kErrorInvalidParameter));
        return 0;
    }
    std::string base = ProcessBaseName(processId);
    if (base.empty()) {
        SetLastError(static_cast<uint32_t>(kErrorInvalidParameter));
        return 0;
    }
    if (!EndsWithExe(base)) base += ".exe";
    const std::u16string wide = sim::ToUtf16(base);
    // As GetModuleBaseNameW: a name longer than the buffer is cut to fit with its terminator.
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(wide.size(), capacity - 1));
    std::copy(wide.begin(), wide.begin() + length, name);
    name[length] = u'\0';
    return length;
}

}  // namespace qv::proc
