#include "database.h"

#include <fcntl.h>
#include <pthread.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <system_error>

#include "qv/sim/machine.h"

namespace qv::sim::regdb {
namespace fs = std::filesystem;

namespace {

// Marks a database as a machine registry ("QvRg") and gives its layout version.
constexpr int kApplicationId = 0x51767267;
constexpr int kSchemaVersion = 1;
// How long a call waits for another process's write transaction before giving up.
constexpr int kBusyTimeoutMs = 5000;

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
};

// A counter of committed registry changes that every process of the machine shares through a
// small memory-mapped file beside the database. Writers bump it after each commit; a reader whose
// snapshot began when the counter had the value it still has knows that nobody has committed
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
    std::set<std::string> reported;
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

void ReportOnce(const std::string& what, const std::string& message) {
    if (S().reported.insert(what).second) {
        std::fprintf(stderr, "qvsim: the machine registry %s cannot be read: %s\n", what.c_str(),
                     message.c_str());
    }
}

// Maps an SQLite result to a registry status; a database that cannot be read is reported once.
LStatus Map(int rc) {
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
            State& s = S();
            const std::string message = s.db ? sqlite3_errmsg(s.db) : sqlite3_errstr(rc);
            ReportOnce(s.openPath.string(), message);
            s.broken = true;
            return (rc & 0xFF) == SQLITE_CANTOPEN ? kErrorCantOpen : kErrorRegistryCorrupt;
        }
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return kErrorAccessDenied;
        case SQLITE_TOOBIG:
            return kErrorInvalidParameter;
        default:  // busy past the timeout, I/O errors, disk full
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

// Opens path; create makes a new empty database with the schema.
LStatus OpenFile(const fs::path& path, bool create) {
    State& s = S();
    s.openPath = path;
    s.owner = ThisProcess();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &s.db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const LStatus status = Map(rc);
        Close();
        return status;
    }
    sqlite3_extended_result_codes(s.db, 0);
    sqlite3_busy_timeout(s.db, kBusyTimeoutMs);
    // A database is checked before anything is written to it, so that a file which is not a
    // machine registry stays as it was.
    LStatus status = create ? Exec(kSchema) : kErrorSuccess;
    if (status == kErrorSuccess) {
        int appId = 0, version = 0;
        rc = PragmaInt("PRAGMA application_id", &appId);
        if (rc == SQLITE_OK) rc = PragmaInt("PRAGMA user_version", &version);
        status = Map(rc);
        if (status == kErrorSuccess && (appId != kApplicationId || version != kSchemaVersion)) {
            ReportOnce(path.string(), "not a machine registry of this version");
            status = kErrorRegistryCorrupt;
        }
    }
    if (status == kErrorSuccess) status = Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
    if (status != kErrorSuccess) {
        Close();
        return status;
    }
    // A machine being built is seen by its builder only: it needs no shared counter.
    if (s.buildPath.empty()) s.changes.Open(path.parent_path() / "registry.changes");
    return status;
}

}  // namespace

std::recursive_mutex& Mutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

fs::path SelectedDir() {
    return S().selected;
}

void Select(const fs::path& dir) {
    std::lock_guard lock(Mutex());
    Close();
    S().selected = dir;
    ++S().generation;
}

uint64_t Generation() {
    return S().generation;
}

LStatus Open() {
    State& s = S();
    if (s.db && s.owner != ThisProcess()) Close();
    if (s.db && s.broken && s.depth == 0) Close();
    if (s.db) return kErrorSuccess;
    if (!s.buildPath.empty()) return OpenFile(s.buildPath, false);

    const fs::path dir = MachineDir();
    const fs::path path = dir / "registry.db";
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        std::string error;
        const InventoryOptions defaults;
        if (!BuildMachine(dir, &defaults, false, true, &error)) {
            if (S().reported.insert(dir.string()).second) {
                std::fprintf(stderr, "qvsim: the machine %s cannot be created: %s\n", dir.c_str(),
                             error.c_str());
            }
            return kErrorCantOpen;
        }
    }
    return OpenFile(path, false);
}

bool BuildMachine(const fs::path& dir, const InventoryOptions* options, bool force, bool mayExist,
                  std::string* error) {
    std::lock_guard lock(Mutex());
    State& s = S();
    if (s.depth > 0 || !s.buildPath.empty()) {
        *error = "a registry transaction is open in this process";
        return false;
    }
    const fs::path finalPath = dir / "registry.db";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        *error = "cannot create the directory: " + ec.message();
        return false;
    }
    if (!force && !mayExist && fs::exists(finalPath, ec)) {
        *error = "a machine already exists in " + dir.string();
        return false;
    }

    static int counter = 0;
    const fs::path tmp =
        dir / ("registry.db.new-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
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
    } else if (options) {
        Transaction txn(Transaction::Kind::kWrite);
        ok =
            txn.status() == kErrorSuccess && WriteDefaultInventory(*options) && txn.Commit() == kErrorSuccess;
        if (!ok) *error = "writing the inventory failed";
    }
    Close();  // the last connection checkpoints the log into the database file
    s.buildPath.clear();
    s.selected = savedSelection;

    if (ok && force) {
        for (const char* suffix : {"-wal", "-shm"}) fs::remove(finalPath.string() + suffix, ec);
        fs::rename(tmp, finalPath, ec);
        if (ec) {
            *error = "cannot move the new registry into place: " + ec.message();
            ok = false;
        }
        ++s.generation;
    } else if (ok) {
        // link() refuses to replace: of two processes creating one machine at once, one wins.
        if (link(tmp.c_str(), finalPath.c_str()) != 0) {
            const int err = errno;
            if (!(err == EEXIST && mayExist)) {
                *error = err == EEXIST
                             ? "a machine already exists in " + dir.string()
                             : std::string("cannot move the new registry into place: ") + std::strerror(err);
                ok = false;
            }
        }
    }
    removeTmp();
    return ok;
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

namespace {

LStatus Run(Stmt which) {
    Query q(which);
    return q.status() != kErrorSuccess ? q.status() : q.Run();
}

}  // namespace

uint64_t SnapshotSerial() {
    return S().snapshot;
}

namespace {

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
        s.changes.Bump();
    }
    return status;
}

}  // namespace

// Read transactions of the outermost level stay open after they commit, as a session that the
// next read transaction joins as long as no process has committed a change meanwhile (the shared
// change counter tells). A write ends the session first. So a process that only reads pays for one
// transaction instead of one per registry call, and never sees anything older than the last change
// committed before its call began.
Transaction::Transaction(Kind kind) {
    State& s = S();
    status_ = Open();
    if (status_ != kErrorSuccess) return;
    if (s.depth == 0 && s.session) {
        if (kind == Kind::kRead && s.changes.usable() && s.changes.Load() == s.sessionChanges) {
            joined_ = true;
            open_ = true;
            generation_ = s.generation;
            ++s.depth;
            return;
        }
        EndSession();
    }
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
    status_ = Run(!outer_ ? Stmt::kSavepoint : kind == Kind::kWrite ? Stmt::kBeginImmediate : Stmt::kBegin);
    if (status_ == kErrorSuccess) {
        open_ = true;
        generation_ = s.generation;
        ++s.depth;
        if (session_) s.session = true;
    }
}

LStatus Transaction::Commit() {
    if (!open_) return status_;
    State& s = S();
    if (generation_ != s.generation) {
        open_ = false;
        return status_ = kErrorKeyDeleted;
    }
    if (joined_ || session_) {
        // The read transaction goes on as the process's session, unless something was written
        // inside it: then it ends here, with a real commit.
        open_ = false;
        --s.depth;
        return status_ = s.sessionWrote ? EndSession() : kErrorSuccess;
    }
    status_ = Run(outer_ ? Stmt::kCommit : Stmt::kRelease);
    if (status_ == kErrorSuccess) {
        open_ = false;
        --s.depth;
        if (write_) {
            ++s.snapshot;
            if (outer_) s.changes.Bump();
        }
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
        if (s.sessionWrote) {
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
