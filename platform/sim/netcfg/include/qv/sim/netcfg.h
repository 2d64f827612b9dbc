// The simulated host's network configuration as qvsim and the tests see it: the write lock and
// its holder, and the protocol bindings above each adapter, read straight from the registry
// (SOFTWARE\QvSim\NetCfg, see docs/qvsim.md). The programs reach the same state through the
// network-configuration port (qv/platform/netcfg.h) only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::sim {

// The write lock of the machine. A lock taken through the port records the holding process and
// is free again once that process has ended; a lock held by qvsim has no process and stays held
// until it is freed.
struct WriteLockState {
    bool held = false;
    std::u16string holder;   // the client name, while held
    uint32_t processId = 0;  // the holding process; 0 for a lock held by qvsim
};

// The lock as it is now: a lock whose holding process has ended reads as free.
WriteLockState ReadWriteLock();

// Holds the lock for clientName (not empty) without a process, as another program of the machine
// would. False when the lock is held already (by anyone), with the current state in *current, or
// when the registry cannot be written.
bool HoldWriteLock(std::u16string_view clientName, WriteLockState* current);

// Frees a lock held by qvsim (HoldWriteLock). A program's lock is freed when the program gives it
// back or ends, as on Windows. False when the registry cannot be written.
bool FreeWriteLock();

// One binding path that ends at an adapter: the protocol above it and whether it is enabled.
struct AdapterBinding {
    std::u16string protocolId;  // the component id of the protocol ("ms_tcpip"), else the token's
    bool enabled = false;
    std::u16string token;
};

// The binding paths of the registry that end at the adapter with this instance GUID, in key order.
std::vector<AdapterBinding> ReadAdapterBindings(std::u16string_view adapterGuid);

// Removes a protocol from the network configuration (its component, its driver key and every
// binding path that starts at it), as uninstalling it would; for tests that need a machine without
// it. False when there is no such protocol or the registry fails.
bool RemoveProtocol(std::u16string_view componentId);

}  // namespace qv::sim
