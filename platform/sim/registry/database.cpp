#include "database.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <system_error>
#include <thread>

#include "qv/sim/file_kind.h"
#include "qv/sim/kill_switch.h"

namespace qv::sim::regdb {
namespace fs = std::filesystem;

namespace {

// Marks a database as a machine registry ("QvRg") and gives its layout version.
constexpr int kApplicationId = 0x51767267;
constexpr int kSchemaVersion = 1;
// How long this process waits in all for locks that it does not get in the end: once one wait ran
// this out, every later call that finds the registry locked fails at once. Waits that end with the
// lock taken cost nothing.
constexpr int kWaitBudgetMs = 4000;
// The file that marks a directory as a simulated machine.
constexpr const char* kMarkerName = "qvsim-machine";
constexpr const char* kBuildPrefix = "registry.db.new-";

constexpr const char* kSchema =
    "PRAGMA synchronous = OFF; BEGIN;"
    "CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL, name BLOB NOT NULL,"
    " fold BLOB NOT NULL, UNIQUE(parent, fold));"
    "CREATE TABLE vals(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL, name BLOB NOT NULL,"
    " fold BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, fold));"
    "CREATE INDEX vals_order ON vals(key, id);"
    "INSERT INTO keys(id, parent, name, fold) VALUES(1, 0, x'', x'');"
    "PRAGMA application_id = 1366717031;"
    "PRAGMA user_version = 1;"
    "COMMIT;";
static_assert(kApplicationId == 1366717031);

constexpr std::array<const char*, static_cast<size_t>(Stmt::kCount)> kSql = {
    "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2",
    "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)",
    "SELECT 1 FROM keys WHERE id = ?1",
    "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1",
    "SELECT name, fold FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "DELETE FROM vals WHERE key = ?1",
    "DELETE FROM keys WHERE id = ?1",
    "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2",
    "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM vals WHERE key = ?1 AND fold = ?2",
    "SELECT name, type, data, id FROM vals WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT name, fold FROM keys WHERE parent = ?1 AND fold > ?2 ORDER BY fold LIMIT 1",
    "SELECT name, type, data, id FROM vals WHERE key = ?1 AND id > ?2 ORDER BY id LIMIT 1",
    "PRAGMA data_version",
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SAVEPOINT nested",
    "RELEASE nested",
    "ROLLBACK TO nested",
    "WITH RECURSIVE up(id, depth) AS (SELECT ?1, 0 UNION ALL SELECT keys.parent, up.depth + 1"
    " FROM keys JOIN up ON keys.id = up.id WHERE keys.parent != 0 AND up.depth < ?2)"
    " SELECT max(depth) FROM up",
    "SELECT name, fold, id FROM keys WHERE parent = ?1 ORDER BY fold LIMIT ?2",
};

// A counter of committed registry changes that every process of the machine shares through a
// small memory-mapped file beside the database (registry.db-changes). Writers bump it after each commit; a
// reader whose snapshot began when the counter had the value it still has knows that nobody has committed
// since, without asking the database.
class ChangeCounter {
  public:
    ~ChangeCounter() { Close(); }
    void Open(const fs::path& path) {
        Close();
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        if (fd < 0) return;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            (st.st_size >= kSize || ftruncate(fd, kSize) == 0)) {
            void* map = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (map != MAP_FAILED) value_ = static_cast<uint64_t*>(map);
        }
        close(fd);
    }
    void Close() {
        if (value_) munmap(value_, kSize);
        value_ = nullptr;
    }
    bool usable() const { return value_ != nullptr; }
    uint64_t Load() const { return std::atomic_ref<uint64_t>(*value_).load(std::memory_order_acquire); }
    void Bump() {
        if (value_) std::atomic_ref<uint64_t>(*value_).fetch_add(1, std::memory_order_acq_rel);
    }

  private:
    static constexpr off_t kSize = sizeof(uint64_t);
    uint64_t* value_ = nullptr;
};

struct State {
    fs::path selected;   // set by SelectMachine; empty: MachineDir() decides
    fs::path buildPath;  // database being built by BuildMachine; empty otherwise
    fs::path openPath;
    sqlite3* db = nullptr;
    pid_t owner = 0;  // process that opened db; a forked child opens its own
    bool broken = false;
    int depth = 0;  // open transactions
    uint64_t generation = 1;
    // A read transaction left open after its call ended, so that the next read calls of the
    // process share it instead of paying for a transaction each (see Transaction).
    bool session = false;
    bool sessionWrote = false;    // a write happened inside it: its end must commit
    uint64_t sessionChanges = 0;  // the change counter when it began
    uint64_t snapshot = 1;        // changes whenever what this connection sees may have changed
    ChangeCounter changes;
    std::array<sqlite3_stmt*, static_cast<size_t>(Stmt::kCount)> stmts{};
    std::set<std::string> reported;  // paths whose trouble was already reported
    std::set<std::string> swept;     // machine directories cleared of stale builds
    int64_t waitLeftMs = kWaitBudgetMs;
    std::chrono::steady_clock::time_point waitStart;
};

State& S() {
    static State state;
    return state;
}

// This process's id, kept up to date across fork(): every registry call asks whether the
// connection belongs to this process, and getpid() is a system call each time.
pid_t cachedPid = 0;
void RefreshPid() {
    cachedPid = getpid();
}
pid_t ThisProcess() {
    static const bool tracked = [] {
        RefreshPid();
        return pthread_atfork(nullptr, nullptr, RefreshPid) == 0;
    }();
    return tracked ? cachedPid : getpid();
}

void Close() {
    State& s = S();
    if (s.db && s.owner == ThisProcess()) {
        for (auto& stmt : s.stmts) sqlite3_finalize(stmt);
        sqlite3_close_v2(s.db);
    }
    // In a forked child the parent's connection is left alone: closing it here could disturb the
    // parent's locks, and the child never uses it again.
    s.stmts.fill(nullptr);
    s.db = nullptr;
    s.broken = false;
    s.depth = 0;
    s.session = false;
    s.sessionWrote = false;
    ++s.snapshot;
    s.changes.Close();
}

// Prints one line on stderr for each path, however often its trouble shows.
void ReportOnce(const fs::path& what, const std::string& line) {
    if (S().reported.insert(what.string()).second) std::fprintf(stderr, "qvsim: %s\n", line.c_str());
}

void ReportUnreadable(const fs::path& path, const std::string& cause) {
    ReportOnce(path, "the machine registry " + path.string() + " cannot be read: " + cause);
}

// The cause of a failed open or I/O, from the operating system's error when there is one.
std::string SystemCause(int rc) {
    const int err = S().db ? sqlite3_system_errno(S().db) : 0;
    const std::string what = S().db ? sqlite3_errmsg(S().db) : sqlite3_errstr(rc);
    return err != 0 ? what + " (" + std::strerror(err) + ")" : what;
}

// Called by SQLite while another process holds a lock this one needs; returns 0 to give up.
int WaitForLock(void* /*unused*/, int attempt) {
    State& s = S();
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) s.waitStart = now;
    const int64_t waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - s.waitStart).count();
    if (waited >= s.waitLeftMs) {
        s.waitLeftMs = 0;
        return 0;
    }
    const int64_t pause = std::min<int64_t>({int64_t{1} << std::min(attempt, 5), 25, s.waitLeftMs - waited});
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    return 1;
}

// Maps an SQLite result to a registry status; a registry that cannot be used is reported once.
LStatus Map(int rc) {
    State& s = S();
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return kErrorSuccess;
        case SQLITE_NOMEM:
            return kErrorNotEnoughMemory;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_CANTOPEN: {
            const bool cantOpen = (rc & 0xFF) == SQLITE_CANTOPEN;
            ReportUnreadable(s.openPath, cantOpen ? SystemCause(rc)
                                         : s.db   ? sqlite3_errmsg(s.db)
                                                  : sqlite3_errstr(rc));
            s.broken = true;
            return cantOpen ? kErrorCantOpen : kErrorRegistryCorrupt;
        }
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            ReportOnce(s.openPath, "the machine registry " + s.openPath.string() +
                                       " cannot be written: " + SystemCause(rc));
            return kErrorAccessDenied;
        case SQLITE_TOOBIG:
            return kErrorInvalidParameter;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            ReportUnreadable(s.openPath, "it is locked by another process (gave up waiting after " +
                                             std::to_string(kWaitBudgetMs / 1000) + " s)");
            s.broken = true;
            return kErrorRegistryIoFailed;
        default:  // I/O errors, disk full
            ReportUnreadable(s.openPath, SystemCause(rc));
            s.broken = true;
            return kErrorRegistryIoFailed;
    }
}

LStatus Exec(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(S().db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    return Map(rc);
}

int PragmaInt(const char* sql, int* value) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(S().db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            *value = sqlite3_column_int(stmt, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

// Settings of the database library for the whole process, made before its first use. Memory
// statistics are not needed, and keeping them takes a process-wide lock on every allocation.
void ConfigureLibraryOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

// Whether the header of the database file at path names a machine registry of this layout that is
// in WAL mode already, read directly: the common open then needs no statements to check it. The
// fields read are written once, when the database is made, and moved into the file before any
// process uses it. Anything else is left to the full check.
bool HeaderShowsMachineRegistry(const fs::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    unsigned char header[100];
    const bool read = pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
    close(fd);
    if (!read) return false;
    const auto bigEndian = [&header](size_t at) {
        return static_cast<uint32_t>(header[at]) << 24 | static_cast<uint32_t>(header[at + 1]) << 16 |
               static_cast<uint32_t>(header[at + 2]) << 8 | header[at + 3];
    };
    constexpr unsigned char kWalFormat = 2;  // file format versions 2: WAL mode
    return std::memcmp(header, "SQLite format 3", 16) == 0 && header[18] == kWalFormat &&
           header[19] == kWalFormat && bigEndian(60) == static_cast<uint32_t>(kSchemaVersion) &&
           bigEndian(68) == static_cast<uint32_t>(kApplicationId);
}

// Opens path; create makes a new empty database with the schema.
LStatus OpenFile(const fs::path& path, bool create) {
    ConfigureLibraryOnce();
    State& s = S();
    s.openPath = path;
    s.owner = ThisProcess();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &s.db, flags, nullptr);
    if (!s.db) return kErrorNotEnoughMemory;
    LStatus status = Map(rc);
    if (status == kErrorSuccess) {
        sqlite3_extended_result_codes(s.db, 0);
        sqlite3_busy_handler(s.db, WaitForLock, nullptr);
        // A database is checked before anything is written to it, so that a file which is not a
        // machine registry stays as it was.
        if (create) status = Exec(kSchema);
    }
    const bool known = status == kErrorSuccess && !create && HeaderShowsMachineRegistry(path);
    if (status == kErrorSuccess && !known) {
        int appId = 0, version = 0;
        rc = PragmaInt("PRAGMA application_id", &appId);
        if (rc == SQLITE_OK) rc = PragmaInt("PRAGMA user_version", &version);
        status = Map(rc);
        if (status == kErrorSuccess && (appId != kApplicationId || version != kSchemaVersion)) {
            ReportUnreadable(path, "not a machine registry of this version");
            status = kErrorRegistryCorrupt;
        }
    }
    if (status == kErrorSuccess) {
        status = Exec(known ? "PRAGMA synchronous = NORMAL;"
                            : "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
    }
    if (status != kErrorSuccess) {
        Close();
        return status;
    }
    // A machine being built is seen by its builder only: it needs no shared counter.
    if (s.buildPath.empty()) s.changes.Open(path.string() + "-changes");
    return status;
}

// Sets *error to message and returns false.
bool Fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

// What a directory is to the simulator: a machine (it holds the marker, or a registry.db as every
// machine made before the marker existed does), free to become one (missing or empty), or
// something else that must not be touched.
enum class DirKind { kMachine, kVacant, kForeign };

bool Exists(const fs::path& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

DirKind Classify(const fs::path& dir, std::string* why) {
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0) {
        if (errno == ENOENT) return DirKind::kVacant;
        *why = std::strerror(errno);
        return DirKind::kForeign;
    }
    if (!S_ISDIR(info.st_mode)) {
        *why = "it is not a directory";
        return DirKind::kForeign;
    }
    const auto marked = [&dir] { return Exists(dir / kMarkerName) || Exists(dir / "registry.db"); };
    if (marked()) return DirKind::kMachine;
    std::error_code ec;
    if (fs::directory_iterator(dir, ec) == fs::directory_iterator() && !ec) return DirKind::kVacant;
    // A process making this machine meanwhile creates the marker before any other file: what the
    // listing found may be just that.
    if (marked()) return DirKind::kMachine;
    *why = ec ? ec.message() : "the directory holds other files and no machine registry";
    return DirKind::kForeign;
}

// Makes dir a machine directory: creates it and the marker. Only a missing or empty directory
// becomes one, so a mistyped or wrong directory is never filled with a machine.
bool MarkMachine(const fs::path& dir, std::string* error) {
    std::string why;
    const DirKind kind = Classify(dir, &why);
    if (kind == DirKind::kForeign) return Fail(error, dir.string() + " is not a simulated machine: " + why);
    if (kind == DirKind::kMachine) return true;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return Fail(error, "cannot create the directory " + dir.string() + ": " + ec.message());
    // O_EXCL: of two processes marking one directory, one creates the marker and both go on.
    const int fd = open((dir / kMarkerName).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) {
        return Fail(error, "cannot mark " + dir.string() + " as a machine: " + std::strerror(errno));
    }
    if (fd >= 0) {
        constexpr std::string_view kText = "A simulated Windows machine (see qvsim help).\n";
        const bool written = write(fd, kText.data(), kText.size()) == static_cast<ssize_t>(kText.size());
        close(fd);
        if (!written) return Fail(error, "cannot mark " + dir.string() + " as a machine");
    }
    return true;
}

// Removes the databases that machine builds interrupted by the death of their process left in
// dir ("registry.db.new-<pid>-<n>" and its journal files). Builds of live processes stay.
void SweepStaleBuilds(const fs::path& dir) {
    if (!S().swept.insert(dir.string()).second) return;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kBuildPrefix, 0) != 0) continue;
        const char* digits = name.c_str() + std::strlen(kBuildPrefix);
        char* stop = nullptr;
        const long pid = std::strtol(digits, &stop, 10);
        if (stop == digits || *stop != '-' || pid <= 0 || pid == ThisProcess()) continue;
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

// SQLite would block on a FIFO or device and cannot use a directory: every file of the database
// that exists must be a regular file. Returns what is wrong, empty when nothing is.
std::string IrregularFile(const fs::path& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const std::string file = path.string() + suffix;
        struct stat info {};
        if (stat(file.c_str(), &info) != 0) continue;
        if (S_ISREG(info.st_mode)) continue;
        return (*suffix ? "its " + path.filename().string() + suffix : std::string("it")) + " is " +
               IrregularFileKind(info.st_mode) + ", not a regular file";
    }
    return {};
}

LStatus Run(Stmt which) {
    return Query(which).Run();
}

// A change of this process was committed: other processes learn it through the shared counter.
void ChangeCommitted(State& s) {
    s.changes.Bump();
    // QV_SIM_KILL_AFTER_WRITES=N: killed right after the N-th committed change, so a suite can stop
    // a whole command after each of its changes in turn.
    static KillSwitch killSwitch("QV_SIM_KILL_AFTER_WRITES");
    killSwitch.Count();
}

// Ends the read transaction that the process kept open between calls; what was written inside it
// is committed (a failed commit rolls it back and says so).
LStatus EndSession() {
    State& s = S();
    if (!s.session) return kErrorSuccess;
    s.session = false;
    ++s.snapshot;
    const bool wrote = s.sessionWrote;
    s.sessionWrote = false;
    const LStatus status = Run(Stmt::kCommit);
    if (status != kErrorSuccess) {
        Run(Stmt::kRollback);
    } else if (wrote) {
        ChangeCommitted(s);
    }
    return status;
}

// Builds a machine in dir (see qv::sim::BuildMachineRegistry), filled by populate when it is given.
// With mayExist, finding a machine already in place (made meanwhile by another process) counts as
// success.
bool BuildMachine(const fs::path& dir, const PopulateMachine& populate, bool force, bool mayExist,
                  std::string* error) {
    std::lock_guard lock(Mutex());
    State& s = S();
    if (s.depth > 0 || !s.buildPath.empty())
        return Fail(error, "a registry transaction is open in this process");
    const fs::path finalPath = dir / "registry.db";
    std::error_code ec;
    if (!MarkMachine(dir, error)) return false;
    if (!force && !mayExist && Exists(finalPath))
        return Fail(error, "a machine already exists in " + dir.string());

    static int counter = 0;
    const fs::path tmp = dir / (kBuildPrefix + std::to_string(getpid()) + "-" + std::to_string(++counter));
    const auto removeTmp = [&tmp] {
        std::error_code ignored;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            fs::remove(tmp.string() + suffix, ignored);
    };
    removeTmp();

    Close();
    const fs::path savedSelection = s.selected;
    s.selected = dir;
    s.buildPath = tmp;
    // The new database is invisible until it is moved into place, so it needs no syncing on the way.
    bool ok = OpenFile(tmp, true) == kErrorSuccess && Exec("PRAGMA synchronous = OFF") == kErrorSuccess;
    if (!ok) {
        *error = "cannot create the registry database " + tmp.string();
    } else if (populate) {
        const SystemAccessScope system;  // the contents are the hardware's and the setup's, not the user's
        Transaction txn(Transaction::Kind::kWrite);
        ok = txn.status() == kErrorSuccess && populate() && txn.Commit() == kErrorSuccess;
        if (!ok) *error = "writing the inventory failed";
    }
    Close();  // the last connection checkpoints the log into the database file
    s.buildPath.clear();
    s.selected = savedSelection;

    if (ok && force) {
        for (const char* suffix : {"-wal", "-shm"}) fs::remove(finalPath.string() + suffix, ec);
        fs::rename(tmp, finalPath, ec);
        if (ec) ok = Fail(error, "cannot move the new registry into place: " + ec.message());
        ++s.generation;
    } else if (ok) {
        // link() refuses to replace: of two processes creating one machine at once, one wins.
        if (link(tmp.c_str(), finalPath.c_str()) != 0) {
            const int err = errno;
            if (!(err == EEXIST && mayExist)) {
                ok = Fail(error, err == EEXIST ? "a machine already exists in " + dir.string()
                                               : std::string("cannot move the new registry into place: ") +
                                                     std::strerror(err));
            }
        }
    }
    removeTmp();
    return ok;
}

// What fills a machine that the first registry call finds missing (SetFirstUsePopulate).
std::atomic<bool (*)()> g_firstUsePopulate{nullptr};

}  // namespace

std::recursive_mutex& Mutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

uint64_t Generation() {
    return S().generation;
}

// A process that ends normally closes its connection: the last connection to close writes the log
// back into the database and removes it, so the next process to open the machine need not read a
// log that every process before it left behind (a killed process leaves it; the next close helps).
void CloseAtExit() {
    std::lock_guard lock(Mutex());
    Close();
}

LStatus Open() {
    static const bool closesAtExit = std::atexit(CloseAtExit) == 0;
    (void)closesAtExit;
    State& s = S();
    if (s.db && s.owner != ThisProcess()) Close();
    if (s.db && s.broken && s.depth == 0) Close();
    if (s.db) return kErrorSuccess;
    if (!s.buildPath.empty()) return OpenFile(s.buildPath, false);

    const fs::path dir = MachineDir();
    const fs::path path = dir / "registry.db";
    std::string why;
    if (Classify(dir, &why) == DirKind::kForeign) {
        ReportOnce(dir, dir.string() + " is not a simulated machine: " + why);
        return kErrorCantOpen;
    }
    if (!Exists(path)) {
        std::string error;
        bool (*const first)() = g_firstUsePopulate;
        const PopulateMachine populate = first ? PopulateMachine(first) : PopulateMachine();
        if (!BuildMachine(dir, populate, false, true, &error)) {
            ReportOnce(dir, "the machine " + dir.string() + " cannot be created: " + error);
            return kErrorCantOpen;
        }
    }
    SweepStaleBuilds(dir);
    if (const std::string irregular = IrregularFile(path); !irregular.empty()) {
        ReportUnreadable(path, irregular);
        return kErrorCantOpen;
    }
    return OpenFile(path, false);
}

Query::Query(Stmt which) {
    State& s = S();
    if (!s.db) {
        status_ = kErrorRegistryIoFailed;
        return;
    }
    sqlite3_stmt*& slot = s.stmts[static_cast<size_t>(which)];
    if (!slot) {
        const int rc = sqlite3_prepare_v3(s.db, kSql[static_cast<size_t>(which)], -1,
                                          SQLITE_PREPARE_PERSISTENT, &slot, nullptr);
        if (rc != SQLITE_OK) {
            slot = nullptr;
            status_ = Map(rc);
            return;
        }
    }
    stmt_ = slot;
}

Query::~Query() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

void Query::Bind(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
}

void Query::BindBytes(int index, std::string_view bytes) {
    // A zero-length blob must still be a blob, not NULL: never pass a null pointer.
    if (stmt_)
        sqlite3_bind_blob(stmt_, index, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
}

LStatus Query::Step(bool* row) {
    *row = false;
    if (!stmt_) return status_;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        *row = true;
        return kErrorSuccess;
    }
    return Map(rc);
}

LStatus Query::Run() {
    bool row = false;
    return Step(&row);
}

int64_t Query::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string_view Query::Bytes(int column) const {
    const void* data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<size_t>(size))
                : std::string_view();
}

LStatus KeyDepth(int64_t id, size_t* depth) {
    *depth = 0;
    if (id == kRootKeyId) return kErrorSuccess;
    Query q(Stmt::kKeyDepth);
    q.Bind(1, id);
    q.Bind(2, static_cast<int64_t>(kMaxRegistryKeyDepth + 1));
    bool row = false;
    const LStatus status = q.Step(&row);
    if (status == kErrorSuccess && row) *depth = static_cast<size_t>(q.Int(0));
    return status;
}

int Changes() {
    return S().db ? sqlite3_changes(S().db) : 0;
}

int64_t LastInsertId() {
    return S().db ? sqlite3_last_insert_rowid(S().db) : 0;
}

ChangeToken CurrentChangeToken() {
    ChangeToken token;
    Query q(Stmt::kDataVersion);
    bool row = false;
    if (q.Step(&row) != kErrorSuccess || !row) return token;
    token.dataVersion = q.Int(0);
    token.ownChanges = sqlite3_total_changes64(S().db);
    token.generation = S().generation;
    return token;
}

// Read transactions of the outermost level stay open after they commit, as a session that the
// next read transaction joins as long as no process has committed a change meanwhile (the shared
// change counter tells). A write ends the session first. So a process that only reads pays for one
// transaction instead of one per registry call, and never sees anything older than the last change
// committed before its call began.
Transaction::Transaction(Kind kind) {
    State& s = S();
    status_ = Open();
    if (status_ != kErrorSuccess) return;
    const bool sessionCurrent =
        kind == Kind::kRead && s.changes.usable() && s.changes.Load() == s.sessionChanges;
    if (s.depth == 0 && s.session && !sessionCurrent) EndSession();
    // A read inside an open transaction (or the current session) sees what that one sees and
    // changes nothing: there is nothing to roll back, so it needs no savepoint of its own.
    joined_ = kind == Kind::kRead && (s.depth > 0 || s.session);
    if (!joined_) {
        outer_ = s.depth == 0;
        if (kind == Kind::kWrite) {
            write_ = true;
            ++s.snapshot;
            if (!outer_ && s.session) s.sessionWrote = true;
        }
        if (outer_ && kind == Kind::kRead && s.changes.usable()) {
            session_ = true;
            // Read before the transaction begins: a change committed in between makes the next call
            // start afresh, never see too little.
            s.sessionChanges = s.changes.Load();
            ++s.snapshot;
        }
        status_ = Run(!outer_                ? Stmt::kSavepoint
                      : kind == Kind::kWrite ? Stmt::kBeginImmediate
                                             : Stmt::kBegin);
        if (status_ != kErrorSuccess) return;
        if (session_) s.session = true;
    }
    open_ = true;
    generation_ = s.generation;
    ++s.depth;
}

LStatus Transaction::Commit() {
    if (!open_) return status_;
    State& s = S();
    if (generation_ != s.generation) {
        open_ = false;
        return status_ = kErrorKeyDeleted;
    }
    // A read transaction goes on as the process's session (or as the transaction it is nested in),
    // unless something was written inside the session: then it ends here, with a real commit.
    const bool read = joined_ || session_;
    if (!read) {
        status_ = Run(outer_ ? Stmt::kCommit : Stmt::kRelease);
        if (status_ != kErrorSuccess) return status_;
    }
    open_ = false;
    --s.depth;
    if (read) return status_ = s.depth == 0 && s.sessionWrote ? EndSession() : kErrorSuccess;
    if (write_) {
        ++s.snapshot;
        if (outer_) ChangeCommitted(s);
    }
    return status_;
}

Transaction::~Transaction() {
    if (!open_) return;
    State& s = S();
    if (generation_ != s.generation) return;
    if (write_) ++s.snapshot;
    if (s.depth > 0) --s.depth;
    if (!s.db) return;
    if (joined_ || session_) {
        // An abandoned read ends nothing, unless something was written inside the session: that
        // is undone with it.
        if (s.depth == 0 && s.sessionWrote) {
            s.session = false;
            s.sessionWrote = false;
            ++s.snapshot;
            Run(Stmt::kRollback);
        }
    } else if (outer_) {
        Run(Stmt::kRollback);
    } else {
        Run(Stmt::kRollbackToSavepoint);
        Run(Stmt::kRelease);
    }
}

}  // namespace qv::sim::regdb

namespace qv::sim {
namespace fs = std::filesystem;

fs::path MachineDir() {
    {
        std::lock_guard lock(regdb::Mutex());
        if (!regdb::S().selected.empty()) return regdb::S().selected;
    }
    if (const char* machine = std::getenv("QV_MACHINE"); machine && *machine) return fs::path(machine);
    fs::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        data = xdg;
    } else {
        const char* home = std::getenv("HOME");
        data = fs::path(home && *home ? home : "/tmp") / ".local" / "share";
    }
    return data / "qvsim" / "default";
}

bool MachineExists(const fs::path& dir) {
    std::string ignored;
    return regdb::Classify(dir, &ignored) == regdb::DirKind::kMachine && regdb::Exists(dir / "registry.db");
}

bool MarkMachineDir(const fs::path& dir, std::string* error) {
    std::string ignored;
    return regdb::MarkMachine(dir, error ? error : &ignored);
}

void SelectMachine(const fs::path& dir) {
    std::lock_guard lock(regdb::Mutex());
    regdb::Close();
    regdb::S().selected = dir;
    ++regdb::S().generation;
}

bool BuildMachineRegistry(const fs::path& dir, const PopulateMachine& populate, bool force,
                          std::string* error) {
    std::string ignored;
    return regdb::BuildMachine(dir, populate, force, false, error ? error : &ignored);
}

uint64_t RegistryViewSerial() {
    return regdb::S().snapshot;
}

void SetFirstUsePopulate(bool (*populate)()) {
    regdb::g_firstUsePopulate = populate;
}

}  // namespace qv::sim
