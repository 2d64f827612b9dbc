// The registry database of the selected machine: one SQLite connection per process, opened on the
// first registry call, with its prepared statements cached. Callers hold Mutex() for the whole of
// a registry call.
//
// Tables: keys(id, parent, name, fold) and vals(id, key, name, fold, type, data). Names are kept as
// the exact UTF-16 units given at creation; fold is the comparison key (see names.h) on which
// lookups and the subkey order rest. Ids are never reused, so a handle to a deleted key can tell.
#pragma once

#include <cstdint>
#include <mutex>
#include <string_view>

#include "qv/platform/wintypes.h"
#include "qv/sim/registry_store.h"

struct sqlite3_stmt;

namespace qv::sim::regdb {

constexpr int64_t kRootKeyId = 1;

std::recursive_mutex& Mutex();

// Changes whenever the process switches machines; handles record it and die with the switch.
uint64_t Generation();

// Opens the selected machine's database if it is not open yet, creating the machine on first use.
LStatus Open();

enum class Stmt {
    kFindChild,
    kInsertKey,
    kKeyExists,
    kHasChild,
    kNthChild,
    kDeleteKeyValues,
    kDeleteKeyRow,
    kFindValue,
    kUpsertValue,
    kDeleteValue,
    kNthValue,
    kNextChild,
    kNextValue,
    kDataVersion,
    kBegin,
    kBeginImmediate,
    kCommit,
    kRollback,
    kSavepoint,
    kRelease,
    kRollbackToSavepoint,
    kKeyDepth,
    kChildren,
    kCount
};

// One use of a cached prepared statement; reset when the object goes.
class Query {
  public:
    explicit Query(Stmt which);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void Bind(int index, int64_t value);
    void BindBytes(int index, std::string_view bytes);
    // Runs the statement one step: *row tells whether a result row is available.
    LStatus Step(bool* row);
    LStatus Run();
    int64_t Int(int column) const;
    std::string_view Bytes(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
    LStatus status_ = kErrorSuccess;
};

// The level of key id below the root, counted inside the current transaction; levels past
// kMaxRegistryKeyDepth are not counted further (*depth is then kMaxRegistryKeyDepth + 1).
LStatus KeyDepth(int64_t id, size_t* depth);

// Rows changed by the last statement that wrote, and the row id of the last inserted row.
int Changes();
int64_t LastInsertId();

// Identifies the database contents as this connection sees them inside a transaction: it changes
// whenever any process commits a change or this connection writes. Zero if it cannot be read.
struct ChangeToken {
    int64_t dataVersion = 0;
    int64_t ownChanges = 0;
    uint64_t generation = 0;
    bool operator==(const ChangeToken&) const = default;
};
ChangeToken CurrentChangeToken();

// One registry call (or a group of them) as one transaction. Nested transactions become savepoints
// of the outer one. Destroying an uncommitted transaction rolls it back.
class Transaction {
  public:
    enum class Kind { kRead, kWrite };
    explicit Transaction(Kind kind);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    LStatus status() const { return status_; }
    LStatus Commit();

  private:
    bool outer_ = false;
    bool open_ = false;
    bool write_ = false;
    bool joined_ = false;      // a read that joined the open session or the transaction around it
    bool session_ = false;     // an outer read transaction that stays open as the session
    uint64_t generation_ = 0;  // a machine switch meanwhile leaves nothing to commit or roll back
    LStatus status_ = kErrorSuccess;
};

}  // namespace qv::sim::regdb
