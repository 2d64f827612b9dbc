// qvsim write-lock hold <client name> | free, and the network-configuration lines of qvsim show.
#include <cstdio>
#include <cstring>
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/platform/utf.h"
#include "qv/sim/netcfg.h"

namespace qvsim {
namespace {

// Longest client name qvsim takes, in UTF-8 bytes.
constexpr size_t kMaxClientName = 256;

std::string Holder(const qv::sim::WriteLockState& lock) {
    std::string text = "\"" + qv::ToUtf8(lock.holder) + "\"";
    text += lock.processId == 0 ? " (held by qvsim until freed)"
                                : " (process " + std::to_string(lock.processId) + ")";
    return text;
}

}  // namespace

int RunWriteLock(std::span<char* const> args) {
    constexpr const char* kUsage = "write-lock: expected hold <client name> or free";
    if (args.size() == 1 && std::strcmp(args[0], "free") == 0)
        return qv::sim::FreeWriteLock() ? kExitOk : RegistryUnwritable("write-lock");
    if (args.size() != 2 || std::strcmp(args[0], "hold") != 0) return Fail(kExitUsage, kUsage);
    const size_t length = std::strlen(args[1]);
    if (length == 0 || length > kMaxClientName)
        return Fail(kExitUsage, "write-lock: the client name must have 1 to 256 bytes");
    qv::sim::WriteLockState current;
    if (!qv::sim::HoldWriteLock(qv::ToUtf16(args[1]), &current)) {
        if (current.held) return Fail(kExitFailure, "write-lock: already held by " + Holder(current));
        return RegistryUnwritable("write-lock");
    }
    return kExitOk;
}

void ShowAdapterBindings(const std::u16string& adapterGuid) {
    const auto bindings = qv::sim::ReadAdapterBindings(adapterGuid);
    bool anyDisabled = false;
    std::string line;
    for (const auto& b : bindings) {
        anyDisabled = anyDisabled || !b.enabled;
        if (!line.empty()) line += ", ";
        line += qv::ToUtf8(b.protocolId) + (b.enabled ? " enabled" : " disabled");
    }
    if (anyDisabled) std::printf("    bindings: %s\n", line.c_str());
}

void ShowWriteLock() {
    const auto lock = qv::sim::ReadWriteLock();
    if (lock.held) std::printf("Network configuration write lock: held by %s\n", Holder(lock).c_str());
}

}  // namespace qvsim
