// The write lock: the holding program's file lock and record, and qvsim's registry hold.
#include "write_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "qv/sim/file_kind.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {
namespace netcfg {
namespace {

constexpr std::u16string_view kHolder = u"LockHolder";
constexpr const char* kLockFileName = "netcfg-lock";
// Byte 0 is the lock; the holder's record (process id, name length, name in UTF-16) follows here.
constexpr off_t kRecordOffset = 512;
constexpr size_t kMaxHolderUnits = 256;

struct Holder {
    std::u16string name;
    uint32_t processId = 0;
};

// This process's hold: the open lock file while it holds the lock.
struct OwnHold {
    int fd = -1;
    pid_t pid = 0;
} g_own;

bool HoldsLock() {
    return g_own.fd >= 0 && g_own.pid == getpid();
}

std::string LockFilePath() {
    return (MachineDir() / kLockFileName).string();
}

// The record of the file's holder; empty when it cannot be read.
Holder ReadHolder(int fd) {
    unsigned char record[8 + 2 * kMaxHolderUnits] = {};
    const ssize_t n = pread(fd, record, sizeof record, kRecordOffset);
    Holder holder;
    if (n < 8) return holder;
    std::memcpy(&holder.processId, record, 4);
    uint32_t units = 0;
    std::memcpy(&units, record + 4, 4);
    units = std::min<uint32_t>({units, kMaxHolderUnits, static_cast<uint32_t>((n - 8) / 2)});
    holder.name.resize(units);
    std::memcpy(holder.name.data(), record + 8, units * 2);
    return holder;
}

bool WriteHolder(int fd, std::u16string_view name, uint32_t processId) {
    unsigned char record[8 + 2 * kMaxHolderUnits] = {};
    const auto units = static_cast<uint32_t>(std::min(name.size(), kMaxHolderUnits));
    std::memcpy(record, &processId, 4);
    std::memcpy(record + 4, &units, 4);
    std::memcpy(record + 8, name.data(), units * 2);
    return pwrite(fd, record, sizeof record, kRecordOffset) == static_cast<ssize_t>(sizeof record);
}

// The program that holds the lock now, if any.
std::optional<Holder> ProgramHolder() {
    if (HoldsLock()) return ReadHolder(g_own.fd);
    const int fd = OpenRegularFile(LockFilePath().c_str(), O_RDWR);
    if (fd < 0) return std::nullopt;
    struct flock probe = LockOf(F_WRLCK, 0, 1);
    std::optional<Holder> holder;
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) holder = ReadHolder(fd);
    close(fd);
    return holder;
}

std::u16string QvsimHolder(const RegKey& key) {
    return key.ReadString(kHolder).value_or(u"");
}

}  // namespace

LockAttempt TryTakeWriteLock(std::u16string_view clientName, std::u16string* holder) {
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Create(kSimNetCfgPath, &key) != kErrorSuccess) return LockAttempt::kFailed;
    if (const std::u16string qvsim = QvsimHolder(key); !qvsim.empty()) {
        *holder = qvsim;
        return LockAttempt::kBusy;
    }
    if (HoldsLock()) {
        *holder = ReadHolder(g_own.fd).name;
        return LockAttempt::kBusy;
    }
    const int fd = OpenRegularFile(LockFilePath().c_str(), O_RDWR | O_CREAT);
    if (fd < 0) return LockAttempt::kFailed;
    struct flock take = LockOf(F_WRLCK, 0, 1);
    if (fcntl(fd, F_OFD_SETLK, &take) != 0) {
        *holder = ReadHolder(fd).name;
        close(fd);
        return LockAttempt::kBusy;
    }
    if (!WriteHolder(fd, clientName, static_cast<uint32_t>(getpid()))) {
        close(fd);  // closing the description gives the lock back
        return LockAttempt::kFailed;
    }
    g_own = {fd, getpid()};
    return LockAttempt::kTaken;
}

void GiveBackWriteLock() {
    if (!HoldsLock()) return;
    WriteHolder(g_own.fd, u"", 0);
    close(g_own.fd);
    g_own = {};
}

}  // namespace netcfg

WriteLockState ReadWriteLock() {
    RegKey key;
    if (RegKey::Open(kSimNetCfgPath, kKeyQueryValue, &key) == kErrorSuccess) {
        if (std::u16string qvsim = netcfg::QvsimHolder(key); !qvsim.empty())
            return {true, std::move(qvsim), 0};
    }
    if (auto program = netcfg::ProgramHolder()) return {true, std::move(program->name), program->processId};
    return {};
}

bool HoldWriteLock(std::u16string_view clientName, WriteLockState* current) {
    if (clientName.empty()) return false;
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Create(kSimNetCfgPath, &key) != kErrorSuccess) return false;
    if (WriteLockState now = ReadWriteLock(); now.held) {
        *current = std::move(now);
        return false;
    }
    if (key.WriteString(netcfg::kHolder, clientName) != kErrorSuccess) return false;
    key = RegKey();
    return txn.Commit() == kErrorSuccess;
}

bool FreeWriteLock() {
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Create(kSimNetCfgPath, &key) != kErrorSuccess) return false;
    if (key.WriteString(netcfg::kHolder, u"") != kErrorSuccess) return false;
    key = RegKey();
    return txn.Commit() == kErrorSuccess;
}

}  // namespace qv::sim
