#include "qv/sim/registry_store.h"

#include <sys/stat.h>

#include <cstdlib>

#include "database.h"

namespace qv::sim {
namespace fs = std::filesystem;

fs::path MachineDir() {
    {
        std::lock_guard lock(regdb::Mutex());
        fs::path selected = regdb::SelectedDir();
        if (!selected.empty()) return selected;
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
    return regdb::MachineExists(dir);
}

bool MarkMachineDir(const fs::path& dir, std::string* error) {
    std::string ignored;
    return regdb::MarkMachineDir(dir, error ? error : &ignored);
}

bool IsMachineRegistryFile(const fs::path& file) {
    struct stat target {};
    if (stat(file.c_str(), &target) != 0) return false;
    const std::string registry = (MachineDir() / "registry.db").string();
    for (const char* suffix : {"", "-wal", "-shm", "-changes"}) {
        struct stat own {};
        if (stat((registry + suffix).c_str(), &own) == 0 && own.st_dev == target.st_dev &&
            own.st_ino == target.st_ino) {
            return true;
        }
    }
    return false;
}

void SelectMachine(const fs::path& dir) {
    regdb::Select(dir);
}

bool BuildMachineRegistry(const fs::path& dir, const PopulateMachine& populate, bool force, std::string* error) {
    std::string ignored;
    return regdb::BuildMachine(dir, populate, force, false, error ? error : &ignored);
}

RegistryTransaction::RegistryTransaction(Mode mode) : lock_(regdb::Mutex()) {
    status_ = regdb::Open();
    if (status_ != kErrorSuccess) return;
    txn_ = std::make_unique<regdb::Transaction>(mode == Mode::kWrite ? regdb::Transaction::Kind::kWrite
                                                                     : regdb::Transaction::Kind::kRead);
    status_ = txn_->status();
}

RegistryTransaction::~RegistryTransaction() = default;

int32_t RegistryTransaction::Commit() {
    if (status_ != kErrorSuccess || !txn_) return status_;
    status_ = txn_->Commit();
    return status_;
}

uint64_t RegistryViewSerial() {
    return regdb::SnapshotSerial();
}

namespace {
thread_local int systemAccessDepth = 0;
}

SystemAccessScope::SystemAccessScope() {
    ++systemAccessDepth;
}

SystemAccessScope::~SystemAccessScope() {
    --systemAccessDepth;
}

bool SystemAccessScope::Active() {
    return systemAccessDepth > 0;
}

}  // namespace qv::sim
