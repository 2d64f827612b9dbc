// The write lock's record in the registry and the liveness test of its holder.
#include "write_lock.h"

#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "../reg_access.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"
#include "qv/sim/netcfg.h"

namespace qv::sim {
namespace netcfg {
namespace {

constexpr std::u16string_view kHolder = u"LockHolder";
constexpr std::u16string_view kProcessId = u"LockProcessId";
constexpr std::u16string_view kProcessStart = u"LockProcessStart";

// The start time of a running process (field 22 of /proc/<pid>/stat, in clock ticks since boot);
// nullopt when there is no such process or it has ended and waits to be reaped.
std::optional<std::u16string> ProcessStart(uint32_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return std::nullopt;
    const size_t nameEnd = text.rfind(')');  // the command name may hold spaces and brackets
    if (nameEnd == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string state, field;
    fields >> state;  // field 3
    if (state.empty() || state == "Z" || state == "X") return std::nullopt;
    for (int i = 4; i <= 22; ++i) {
        if (!(fields >> field)) return std::nullopt;
    }
    return ToUtf16(field);
}

struct LockRecord {
    std::u16string holder;
    std::optional<uint32_t> processId;
    std::u16string processStart;
};

LockRecord ReadRecord(const RegKey& key) {
    LockRecord r;
    r.holder = key.ReadString(kHolder).value_or(u"");
    r.processId = key.ReadDword(kProcessId);
    r.processStart = key.ReadString(kProcessStart).value_or(u"");
    return r;
}

// A recorded holder still holds the lock while its process runs; one without a process holds it
// until it is freed.
bool Live(const LockRecord& r) {
    if (r.holder.empty()) return false;
    if (!r.processId) return true;
    const auto start = ProcessStart(*r.processId);
    return start && *start == r.processStart;
}

bool Mine(const LockRecord& r) {
    const auto self = static_cast<uint32_t>(getpid());
    const auto start = ProcessStart(self);
    return r.processId == self && start && *start == r.processStart;
}

LStatus WriteRecord(const RegKey& key, std::u16string_view holder, std::optional<uint32_t> pid,
                    std::u16string_view start) {
    LStatus status = key.WriteString(kHolder, holder);
    if (status != kErrorSuccess) return status;
    if (pid) {
        status = key.WriteDword(kProcessId, *pid);
        if (status == kErrorSuccess) status = key.WriteString(kProcessStart, start);
        return status;
    }
    for (const auto name : {kProcessId, kProcessStart}) {
        const std::u16string n(name);
        status = reg::DeleteValue(key.get(), n.c_str());
        if (status != kErrorSuccess && status != kErrorFileNotFound) return status;
    }
    return kErrorSuccess;
}

}  // namespace

LockAttempt TryTakeWriteLock(std::u16string_view clientName, std::u16string* holder) {
    const auto start = ProcessStart(static_cast<uint32_t>(getpid()));
    if (!start) return LockAttempt::kFailed;
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Create(kSimNetCfgPath, &key) != kErrorSuccess) return LockAttempt::kFailed;
    const LockRecord current = ReadRecord(key);
    if (Live(current)) {
        *holder = current.holder;
        return LockAttempt::kBusy;
    }
    if (WriteRecord(key, clientName, static_cast<uint32_t>(getpid()), *start) != kErrorSuccess)
        return LockAttempt::kFailed;
    key = RegKey();
    return txn.Commit() == kErrorSuccess ? LockAttempt::kTaken : LockAttempt::kFailed;
}

void GiveBackWriteLock() {
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Open(kSimNetCfgPath, kKeyAllAccess, &key) != kErrorSuccess) return;
    if (!Mine(ReadRecord(key))) return;
    if (WriteRecord(key, u"", std::nullopt, u"") != kErrorSuccess) return;
    key = RegKey();
    txn.Commit();
}

}  // namespace netcfg

WriteLockState ReadWriteLock() {
    RegKey key;
    if (RegKey::Open(kSimNetCfgPath, kKeyQueryValue, &key) != kErrorSuccess) return {};
    const netcfg::LockRecord r = netcfg::ReadRecord(key);
    if (!netcfg::Live(r)) return {};
    return {true, r.holder, r.processId.value_or(0)};
}

bool HoldWriteLock(std::u16string_view clientName, WriteLockState* current) {
    if (clientName.empty()) return false;
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Create(kSimNetCfgPath, &key) != kErrorSuccess) return false;
    const netcfg::LockRecord r = netcfg::ReadRecord(key);
    if (netcfg::Live(r)) {
        *current = {true, r.holder, r.processId.value_or(0)};
        return false;
    }
    if (netcfg::WriteRecord(key, clientName, std::nullopt, u"") != kErrorSuccess) return false;
    key = RegKey();
    return txn.Commit() == kErrorSuccess;
}

bool FreeWriteLock() {
    RegistryTransaction txn;
    RegKey key;
    if (!txn.ok() || RegKey::Create(kSimNetCfgPath, &key) != kErrorSuccess) return false;
    if (netcfg::WriteRecord(key, u"", std::nullopt, u"") != kErrorSuccess) return false;
    key = RegKey();
    return txn.Commit() == kErrorSuccess;
}

}  // namespace qv::sim
