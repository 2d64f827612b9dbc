#include "qv/sim/registry_store.h"

#include <sys/stat.h>

#include "database.h"

namespace qv::sim {
namespace fs = std::filesystem;

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

RegistryTransaction::RegistryTransaction(Mode mode) : lock_(regdb::Mutex()) {
    // The transaction opens the machine's database first; its failure shows in status().
    txn_ = std::make_unique<regdb::Transaction>(mode == Mode::kWrite ? regdb::Transaction::Kind::kWrite
                                                                     : regdb::Transaction::Kind::kRead);
    status_ = txn_->status();
}

RegistryTransaction::~RegistryTransaction() = default;

int32_t RegistryTransaction::Commit() {
    if (status_ != kErrorSuccess) return status_;
    return status_ = txn_->Commit();
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
