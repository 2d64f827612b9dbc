// Starting a program on a simulated machine. The machine's system directory holds the host
// programs: "<Windows directory>\system32\X.exe" is the host program X in the directory of the host
// programs (the directory of the running executable, or $QV_HOST_PROGRAMS when set), matched
// without regard to case. The program runs on the caller's machine (QV_MACHINE is set to it), in
// a session of its own, with its standard streams on /dev/null and no other descriptor of the
// caller. It is started through an intermediate process that ends at once, so it belongs to no
// process that would have to reap it, as a detached Windows process belongs to nobody.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/process.h"
#include "qv/platform/utf.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

extern char** environ;

namespace qv::proc {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kExeSuffix = u".exe";
// How long the caller waits to learn whether the program's image could be run: the exec of a
// local file, which takes milliseconds.
constexpr int kExecReportTimeoutMs = 5000;

fs::path HostProgramsDir() {
    if (const char* dir = std::getenv("QV_HOST_PROGRAMS"); dir && *dir) return fs::path(dir);
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : exe.parent_path();
}

// The name X of "<system directory>\X.exe", when path is such a program path.
std::optional<std::u16string> SystemProgramName(std::u16string path) {
    char16_t system[260];
    const uint32_t length = GetSystemDirectory(system, 260);
    if (length == 0 || length >= 260) return std::nullopt;
    std::u16string directory(system, length);
    for (auto* text : {&path, &directory}) {
        for (auto& c : *text) c = c == u'/' ? u'\\' : c;
    }
    if (path.size() <= directory.size() + 1 + kExeSuffix.size() || path[directory.size()] != u'\\' ||
        !sim::EqualsIgnoreCase(std::u16string_view(path).substr(0, directory.size()), directory) ||
        !sim::EqualsIgnoreCase(std::u16string_view(path).substr(path.size() - kExeSuffix.size()),
                               kExeSuffix)) {
        return std::nullopt;
    }
    std::u16string name =
        path.substr(directory.size() + 1, path.size() - directory.size() - 1 - kExeSuffix.size());
    if (name.find(u'\\') != std::u16string::npos || name == u"." || name == u"..") return std::nullopt;
    return name;
}

bool IsRunnable(const fs::path& file) {
    struct stat info {};
    return stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(file.c_str(), X_OK) == 0;
}

// The host program called name in dir: the exact name first, else one that differs only in case.
std::optional<fs::path> FindHostProgram(const fs::path& dir, std::u16string_view name) {
    if (dir.empty()) return std::nullopt;
    const std::string exact = ToUtf8(name);
    if (IsRunnable(dir / exact)) return dir / exact;
    DIR* listing = opendir(dir.c_str());
    if (listing == nullptr) return std::nullopt;
    std::optional<fs::path> found;
    while (const dirent* entry = readdir(listing)) {
        if (sim::EqualsIgnoreCase(ToUtf16(entry->d_name), name) && IsRunnable(dir / entry->d_name)) {
            found = dir / entry->d_name;
            break;
        }
    }
    closedir(listing);
    return found;
}

Win32Error ErrorOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return kErrorFileNotFound;
        case EACCES:
        case EPERM:
            return kErrorAccessDenied;
        case ENOEXEC:
            return kErrorBadFormat;
        case ENOMEM:
        case EAGAIN:
            return kErrorNotEnoughMemory;
        default:
            return kErrorGenFailure;
    }
}

// The caller's environment with QV_MACHINE naming the caller's machine.
std::vector<std::string> ProgramEnvironment() {
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::string_view(*entry).starts_with("QV_MACHINE=")) continue;
        environment.emplace_back(*entry);
    }
    std::error_code error;
    const fs::path machine = fs::absolute(sim::MachineDir(), error);
    environment.push_back("QV_MACHINE=" + (error ? sim::MachineDir() : machine).string());
    return environment;
}

[[noreturn]] void ReportAndExit(int report, int error) {
    (void)!write(report, &error, sizeof error);
    _exit(127);
}

// In the started process (after fork: only calls that are safe there): default signal handling,
// /dev/null for the standard streams, no descriptor but those and the report pipe, then the image.
[[noreturn]] void RunProgram(const char* file, char* const* argv, char* const* envp, int report) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int number = 1; number < NSIG; ++number) signal(number, SIG_DFL);
    const int null = open("/dev/null", O_RDWR);
    if (null < 0) ReportAndExit(report, errno);
    for (int stream = 0; stream < 3; ++stream) {
        if (null != stream && dup2(null, stream) < 0) ReportAndExit(report, errno);
    }
    if (report > 3) close_range(3, static_cast<unsigned>(report) - 1, 0);
    close_range(static_cast<unsigned>(report) + 1, UINT_MAX, 0);
    execve(file, argv, envp);
    ReportAndExit(report, errno);
}

}  // namespace

bool StartDetachedProgram(const char16_t* path) {
    const auto name = path == nullptr ? std::nullopt : SystemProgramName(path);
    const auto program = name ? FindHostProgram(HostProgramsDir(), *name) : std::nullopt;
    if (!program) return sim::FailWith(kErrorFileNotFound);
    // Everything the new process needs is made before fork: a multi-threaded caller's child may
    // only make async-signal-safe calls.
    const std::string file = program->string();
    std::vector<std::string> environment = ProgramEnvironment();
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string argv0 = file;
    char* argv[] = {argv0.data(), nullptr};

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return sim::FailWith(ErrorOf(errno));
    // The report end lies above the standard streams, which the program gets anew.
    const int report = fcntl(fds[1], F_DUPFD_CLOEXEC, 3);
    close(fds[1]);
    if (report < 0) {
        close(fds[0]);
        return sim::FailWith(ErrorOf(errno));
    }
    const pid_t intermediate = fork();
    if (intermediate == 0) {
        setsid();
        const pid_t started = fork();
        if (started == 0) RunProgram(file.c_str(), argv, envp.data(), report);
        if (started < 0) ReportAndExit(report, errno);
        _exit(0);
    }
    close(report);
    if (intermediate < 0) {
        const int error = errno;
        close(fds[0]);
        return sim::FailWith(ErrorOf(error));
    }
    while (waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
    }
    // The report pipe closes unread when the image runs; it carries errno when it could not.
    int error = 0;
    pollfd wait{fds[0], POLLIN, 0};
    ssize_t got = 0;
    if (poll(&wait, 1, kExecReportTimeoutMs) == 1) {
        while ((got = read(fds[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
    }
    close(fds[0]);
    if (got == static_cast<ssize_t>(sizeof error)) return sim::FailWith(ErrorOf(error));
    return true;
}

}  // namespace qv::proc
