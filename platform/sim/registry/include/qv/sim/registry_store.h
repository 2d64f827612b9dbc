// The registry store of the simulated machine: which machine directory this process works on, its
// registry database (registry.db), transactions over it, and system access. It knows nothing of
// what a machine holds: a new machine's contents come from a populate callback.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace qv::sim {

namespace regdb {
class Transaction;
}

// The deepest a key may lie below HKEY_LOCAL_MACHINE, as on Windows (the root itself is level 0).
inline constexpr size_t kMaxRegistryKeyDepth = 512;

// The machine directory of this process: the one chosen with SelectMachine, else $QV_MACHINE,
// else ${XDG_DATA_HOME:-$HOME/.local/share}/qvsim/default.
std::filesystem::path MachineDir();

// Whether dir holds a machine's registry. A machine directory is marked as one when it is created
// (machines made before there was a mark are known by their registry.db); registry calls and
// machine creation refuse a directory that is neither a machine directory nor missing or empty,
// so that no other directory is ever filled.
bool MachineExists(const std::filesystem::path& dir);

// Makes dir a machine directory without creating its registry: creates the directory and its mark
// when dir is missing or empty; true as well when it already is one. The registry is made on first
// use. Any other directory is refused with the reason in *error.
bool MarkMachineDir(const std::filesystem::path& dir, std::string* error);

// Whether file is one of the files of the selected machine's registry database (registry.db and
// its -wal and -shm files), compared by identity so that any name or link for them counts.
bool IsMachineRegistryFile(const std::filesystem::path& file);

// Switches this process to another machine directory. The open registry database is closed; the
// next registry call opens (or first creates) the one of the new machine. Handles opened before
// the switch become invalid.
void SelectMachine(const std::filesystem::path& dir);

// Changes whenever what this process sees of the registry may have changed (a new snapshot began,
// or this process wrote): a value computed from the registry under one serial stays true while the
// serial is the same.
uint64_t RegistryViewSerial();

// Groups several registry calls of this thread into one transaction: all of them take effect at
// Commit, none if the object is destroyed first. Other threads of the process wait for it. While
// it is open, registry calls see their own changes. Begin failures show in ok().
//
// Mode::kReadSnapshot groups reads only: the calls see one consistent state of the registry and
// pay for one transaction instead of one each, without taking the write lock, so other processes
// keep writing meanwhile. (Writes inside it fail when another process has written since it began.)
class RegistryTransaction {
  public:
    enum class Mode { kWrite, kReadSnapshot };
    explicit RegistryTransaction(Mode mode = Mode::kWrite);
    ~RegistryTransaction();
    RegistryTransaction(const RegistryTransaction&) = delete;
    RegistryTransaction& operator=(const RegistryTransaction&) = delete;

    bool ok() const { return status_ == 0; }
    // The registry status of Begin, or of Commit once it was called.
    int32_t status() const { return status_; }
    // Makes the changes durable; returns a registry status (0 on success).
    int32_t Commit();

  private:
    std::unique_lock<std::recursive_mutex> lock_;
    std::unique_ptr<regdb::Transaction> txn_;  // destroyed (rolled back if open) before the lock goes
    int32_t status_ = 0;
};

// While one is alive, the registry calls of this thread act as the system (the simulated hardware
// and drivers, the machine build, imports and qvsim itself), not as the machine's user: a machine
// whose user is no administrator (Host value Administrator 0) refuses that user write access to
// HKEY_LOCAL_MACHINE\SYSTEM and below, as Windows does, but not the system. Scopes nest.
class SystemAccessScope {
  public:
    SystemAccessScope();
    ~SystemAccessScope();
    SystemAccessScope(const SystemAccessScope&) = delete;
    SystemAccessScope& operator=(const SystemAccessScope&) = delete;
    // Whether a scope is alive on this thread.
    static bool Active();
};

// Fills the registry of a machine being built (the store's transaction is open and system access
// is on); false when a write failed.
using PopulateMachine = std::function<bool()>;

// Builds the registry of a machine in dir: the database is built aside, filled by populate (when
// given) and moved into place only when complete, so no process ever sees a half-written machine.
// Only a missing or empty directory, or one that holds a machine, is used. Without force an
// existing machine is an error; with force it is replaced. The process's selected machine is left
// as it was. On failure returns false and describes the reason in *error.
bool BuildMachineRegistry(const std::filesystem::path& dir, const PopulateMachine& populate, bool force,
                          std::string* error);

// What fills a machine that the first registry call of a process finds missing. Without one, such a
// machine starts with an empty registry.
void SetFirstUsePopulate(bool (*populate)());

}  // namespace qv::sim
