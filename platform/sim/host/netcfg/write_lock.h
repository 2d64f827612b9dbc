// The network configuration's write lock across the processes of a machine, kept in the registry
// beside the rest of the configuration: NetCfg\LockHolder (the client name, empty while free),
// LockProcessId and LockProcessStart (the holding process and its start time, so that a process
// that ended, or a new one that got its id, is never taken for the holder). A holder without a
// process is a lock held by qvsim. Every look at the lock and every change of it is one registry
// transaction, so two processes can never both take it.
#pragma once

#include <string>
#include <string_view>

namespace qv::sim::netcfg {

enum class LockAttempt { kTaken, kBusy, kFailed };

// Takes the lock for the calling process unless a live holder has it; *holder is the holder's
// name when it is busy.
LockAttempt TryTakeWriteLock(std::u16string_view clientName, std::u16string* holder);

// Frees the lock when the calling process holds it (a forked child never frees its parent's).
void GiveBackWriteLock();

}  // namespace qv::sim::netcfg
