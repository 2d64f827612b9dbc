// Broadcast messages of a simulated machine: the spool directory "messages" beside the process
// table holds one mailbox per listening process, a FIFO named "<pid>-<16 hex digits>" (the digits
// random, so a name is never used twice). A listener makes its FIFO under a temporary name, opens
// it for reading and only then renames it into place, so every mailbox under its final name had a
// reader from the start. A broadcast writes one 32-byte record to each mailbox but the caller's.
//
// Robustness:
// - dead listeners: a FIFO without a reader cannot be opened for writing (ENXIO); the broadcaster
//   removes it, which is safe because no listener will ever take that name again;
// - concurrent broadcasts: a record is written in one write of less than PIPE_BUF bytes, which a
//   FIFO never interleaves with another writer's;
// - garbage: anything in the spool that is not a FIFO with a mailbox name is left alone; bytes in
//   a mailbox that do not form a record with the right mark and check sum are skipped byte by byte
//   until records line up again;
// - no wait: writes never block (a full mailbox misses the message), and the listener's wait is
//   bounded by its caller's timeout.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "qv/host/broadcasts.h"
#include "qv/platform/clock.h"
#include "qv/platform/process.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/registry_store.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSpoolName = "messages";
constexpr uint32_t kRecordMark = 0x314D5651;  // "QVM1"
// Mailboxes a broadcast looks at, at most; more would be garbage.
constexpr int kMaxMailboxes = 1024;
// Bytes a listener reads per call, at most: the check stays bounded while writers keep writing.
constexpr size_t kMaxReadPerTake = 64 * 1024;
// Longest single poll of a wait, so that the wait's end is kept on the clock port.
constexpr int kWaitSliceMs = 100;

struct Record {
    uint32_t mark;
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
    uint32_t senderPid;
    uint32_t check;
};
static_assert(sizeof(Record) == 32 && sizeof(Record) < PIPE_BUF);

// FNV-1a over the record's bytes before its check sum.
uint32_t CheckSum(const Record& record) {
    unsigned char bytes[offsetof(Record, check)];
    std::memcpy(bytes, &record, sizeof bytes);
    uint32_t hash = 2166136261u;
    for (const unsigned char byte : bytes) hash = (hash ^ byte) * 16777619u;
    return hash;
}

fs::path SpoolDir() {
    return sim::MachineDir() / kSpoolName;
}

// The process id of a mailbox name "<pid>-<16 hex digits>"; 0 for any other name.
uint32_t MailboxOwner(std::string_view name) {
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || name.size() - dash - 1 != 16) return 0;
    uint32_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
    if (error != std::errc() || end != name.data() + dash) return 0;
    const auto hexDigit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    return std::ranges::all_of(name.substr(dash + 1), hexDigit) ? pid : 0;
}

std::string MailboxName() {
    uint64_t nonce = 0;
    if (getrandom(&nonce, sizeof nonce, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof nonce)) {
        nonce = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                (static_cast<uint64_t>(getpid()) << 32);
    }
    char name[48];
    std::snprintf(name, sizeof name, "%u-%016llx", static_cast<unsigned>(getpid()),
                  static_cast<unsigned long long>(nonce));
    return name;
}

// Sends record to one mailbox of the spool open as dir; removes the mailbox of a dead listener.
void Deliver(int dir, const char* name, const Record& record) {
    struct stat info {};
    if (fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISFIFO(info.st_mode)) return;
    const int fd = openat(dir, name, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENXIO) unlinkat(dir, name, 0);
        return;
    }
    if (fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode)) {
        while (write(fd, &record, sizeof record) < 0 && errno == EINTR) {
        }
    }
    close(fd);
}

// The listening side of this process.
struct Listener {
    std::mutex mutex;
    int fd = -1;
    pid_t pid = 0;  // the process that opened fd: a forked child does not listen through it
    fs::path mailbox;
    std::string pending;  // bytes read that do not yet form a record
} g_listener;

// With the listener's lock held.
void Close(Listener& listener) {
    if (listener.fd < 0) return;
    if (listener.pid == getpid()) unlink(listener.mailbox.c_str());
    close(listener.fd);
    listener.fd = -1;
    listener.mailbox.clear();
    listener.pending.clear();
}

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

// The next record in the pending bytes, skipping bytes that do not start one.
bool NextRecord(std::string& pending, Record* record) {
    size_t at = 0;
    for (; at + sizeof *record <= pending.size(); ++at) {
        std::memcpy(record, pending.data() + at, sizeof *record);
        if (record->mark == kRecordMark && record->check == CheckSum(*record)) {
            pending.erase(0, at + sizeof *record);
            return true;
        }
    }
    pending.erase(0, at);
    return false;
}

}  // namespace

namespace proc {

long BroadcastToApplications(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const fs::path spool = SpoolDir();
    const int dir = open(spool.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) {
        if (errno == ENOENT) return 1;  // nobody has ever listened on this machine
        return sim::FailWith(kErrorAccessDenied, -1);
    }
    DIR* listing = fdopendir(dir);
    if (listing == nullptr) {
        close(dir);
        return sim::FailWith(kErrorNotEnoughMemory, -1);
    }
    Record record{kRecordMark,
                  message,
                  static_cast<uint64_t>(wParam),
                  static_cast<int64_t>(lParam),
                  static_cast<uint32_t>(getpid()),
                  0};
    record.check = CheckSum(record);
    int seen = 0;
    while (const dirent* entry = readdir(listing)) {
        const uint32_t owner = MailboxOwner(entry->d_name);
        if (owner == 0) continue;
        if (++seen > kMaxMailboxes) break;
        if (owner == record.senderPid) continue;
        Deliver(dirfd(listing), entry->d_name, record);
    }
    closedir(listing);
    return 1;
}

}  // namespace proc

namespace host {

bool ListenForBroadcasts(std::string* error) {
    std::lock_guard lock(g_listener.mutex);
    const fs::path spool = SpoolDir();
    if (g_listener.fd >= 0 && g_listener.pid == getpid() && g_listener.mailbox.parent_path() == spool)
        return true;
    if (g_listener.pid != getpid()) g_listener.pid = 0;  // inherited from the parent: not ours to remove
    Close(g_listener);
    if (!sim::MarkMachineDir(sim::MachineDir(), error)) return false;
    if (mkdir(spool.c_str(), 0755) != 0 && errno != EEXIST)
        return Fail(error, "cannot make " + spool.string());
    struct stat info {};
    if (lstat(spool.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return Fail(error, "cannot use " + spool.string());
    }
    const std::string name = MailboxName();
    const fs::path made = spool / ("." + name + ".new");
    const fs::path mailbox = spool / name;
    if (mkfifo(made.c_str(), 0600) != 0) return Fail(error, "cannot make the mailbox " + made.string());
    // Read and write: the open never waits for a writer, and the FIFO keeps a reader while we run.
    const int fd = open(made.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode) ||
        rename(made.c_str(), mailbox.c_str()) != 0) {
        const bool ok = Fail(error, "cannot open the mailbox " + mailbox.string());
        if (fd >= 0) close(fd);
        unlink(made.c_str());
        return ok;
    }
    g_listener.fd = fd;
    g_listener.pid = getpid();
    g_listener.mailbox = mailbox;
    return true;
}

void StopListening() {
    std::lock_guard lock(g_listener.mutex);
    Close(g_listener);
}

int BroadcastDescriptor() {
    std::lock_guard lock(g_listener.mutex);
    return g_listener.pid == getpid() ? g_listener.fd : -1;
}

bool TakeBroadcast(BroadcastMessage* message) {
    std::lock_guard lock(g_listener.mutex);
    if (message == nullptr || g_listener.fd < 0 || g_listener.pid != getpid()) return false;
    Record record{};
    for (size_t taken = 0;;) {
        if (NextRecord(g_listener.pending, &record)) {
            *message = {record.message, static_cast<uintptr_t>(record.wParam),
                        static_cast<intptr_t>(record.lParam), record.senderPid};
            return true;
        }
        if (taken >= kMaxReadPerTake) return false;
        char chunk[4096];
        const ssize_t got = ::read(g_listener.fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        g_listener.pending.append(chunk, static_cast<size_t>(got));
        taken += static_cast<size_t>(got);
    }
}

// The end of the wait is kept on the clock port; the time in between is spent in poll on the
// mailbox, since what is awaited is another process's write, not a delay that virtual time skips.
bool WaitForBroadcast(uint32_t timeoutMs, BroadcastMessage* message) {
    const uint64_t deadline = clk::TickCount() + timeoutMs;
    for (;;) {
        if (TakeBroadcast(message)) return true;
        const int fd = BroadcastDescriptor();
        const uint64_t now = clk::TickCount();
        if (fd < 0 || now >= deadline) return false;
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, static_cast<int>(std::min<uint64_t>(deadline - now, kWaitSliceMs)));
    }
}

}  // namespace host
}  // namespace qv
