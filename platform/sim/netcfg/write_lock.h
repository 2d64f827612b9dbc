// The network configuration's write lock across the processes of a machine.
//
// A program holds it as Windows holds such a lock, through an object that ends with the process:
// an open-file-description lock on the first byte of the file "netcfg-lock" in the machine
// directory, whose record further on names the holder (client name and process id). However the
// holder ends, the lock is free again and nothing of it stays in the registry. A lock held by qvsim
// has no process: it is the registry value NetCfg\LockHolder (empty while not held that way) and
// stays until freed. Taking and holding go through one registry transaction each, so a program and
// qvsim can never both take it; two programs are kept apart by the file lock itself.
#pragma once

#include <string>
#include <string_view>

namespace qv::sim::netcfg {

enum class LockAttempt { kTaken, kBusy, kFailed };

// Takes the lock for the calling process unless a live holder has it (the calling process
// included); *holder is the holder's name when it is busy.
LockAttempt TryTakeWriteLock(std::u16string_view clientName, std::u16string* holder);

// Frees the lock when the calling process holds it (a forked child never frees its parent's).
void GiveBackWriteLock();

}  // namespace qv::sim::netcfg
