// Processes of a simulated machine are the simulated programs running on it (its process table,
// qv/sim/process_table.h) and the calling process itself, as a process always sees itself on
// Windows. A process's image name is the one it registered under; a process outside the table
// (the caller, when it is not a registered program, or any Linux process asked for by id) reports
// the name its executable would have on Windows ("QvTeamCmd" -> "QvTeamCmd.exe").
#include "qv/platform/process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "qv/platform/utf.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/process_table.h"
#include "qv/sim/text_out.h"

namespace qv::proc {
namespace {

// The base name of the executable behind /proc/<pid>/exe; empty with errno set when there is none
// to read.
std::string ExeBaseName(uint32_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%u/exe", pid);
    char target[4096];
    const ssize_t n = readlink(path, target, sizeof target - 1);
    if (n <= 0) return {};
    std::string_view exe(target, static_cast<size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (exe.size() > kDeleted.size() && exe.ends_with(kDeleted)) exe.remove_suffix(kDeleted.size());
    const auto slash = exe.rfind('/');
    return std::string(slash == std::string_view::npos ? exe : exe.substr(slash + 1));
}

// The command name from /proc/<pid>/comm. Plain open/read/close: a stdio stream costs extra system
// calls. The kernel writes the name and its newline in one read; reading stops at the newline, the
// end or a full buffer.
std::string CommandName(uint32_t pid) {
    char path[64];
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

// The image names read while the list was made, so that asking for each listed process's name
// right afterwards (what the instance checks do) reads nothing twice. An entry serves one question,
// and only shortly after the list was made.
struct ListedImages {
    std::mutex mutex;
    std::chrono::steady_clock::time_point made;
    std::unordered_map<uint32_t, std::string> names;
} g_listed;
constexpr auto kListedImagesLifetime = std::chrono::milliseconds(200);

std::string TakeListedImage(uint32_t pid) {
    std::lock_guard lock(g_listed.mutex);
    if (std::chrono::steady_clock::now() - g_listed.made > kListedImagesLifetime) return {};
    const auto it = g_listed.names.find(pid);
    if (it == g_listed.names.end()) return {};
    std::string name = std::move(it->second);
    g_listed.names.erase(it);
    return name;
}

}  // namespace

bool EnumProcesses(uint32_t* processIds, uint32_t bufferBytes, uint32_t* bytesReturned) {
    if (processIds == nullptr || bytesReturned == nullptr) return sim::FailWith(kErrorInvalidParameter);
    const uint32_t capacity = bufferBytes / 4;
    const uint32_t self = static_cast<uint32_t>(getpid());
    uint32_t count = 0;
    if (count < capacity) processIds[count++] = self;
    std::unordered_map<uint32_t, std::string> images;
    for (auto& process : sim::ListMachineProcesses()) {
        if (process.pid != self) {
            if (count == capacity) break;
            processIds[count++] = process.pid;
        }
        if (!process.imageName.empty()) images.emplace(process.pid, std::move(process.imageName));
    }
    std::lock_guard lock(g_listed.mutex);
    g_listed.names = std::move(images);
    g_listed.made = std::chrono::steady_clock::now();
    *bytesReturned = count * 4;
    return true;
}

uint32_t GetProcessImageBaseName(uint32_t processId, char16_t* name, uint32_t capacity) {
    if (name == nullptr || capacity == 0) return sim::FailWith(kErrorInvalidParameter, 0);
    std::string base = TakeListedImage(processId);
    if (base.empty()) base = sim::RegisteredImageName(processId).value_or("");
    if (base.empty()) {
        // The executable's base name, else (a process without an image: kthreadd, or another
        // user's process) the command name.
        std::string executable = ExeBaseName(processId);
        if (executable.empty()) executable = CommandName(processId);
        if (!executable.empty()) base = sim::WindowsImageName(executable);
    }
    if (base.empty()) return sim::FailWith(kErrorInvalidParameter, 0);
    // As GetModuleBaseNameW: a name longer than the buffer is cut to fit with its terminator.
    return sim::CopyTextCut(ToUtf16(base), name, capacity);
}

// The system directory is the Windows directory's system32, which holds the host programs
// (program_start.cpp).
uint32_t GetSystemDirectory(char16_t* buffer, uint32_t size) {
    const auto windows = sim::WindowsDirectory();
    if (!windows) return sim::FailWith(kErrorInvalidData, 0);
    return sim::CopyTextOrSize(*windows + u"\\system32", buffer, size);
}

}  // namespace qv::proc
