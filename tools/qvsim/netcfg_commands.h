// The network configuration in qvsim: the write-lock command, and the lines qvsim show adds for
// an adapter's bindings and for the lock holder.
#pragma once

#include <string>

namespace qvsim {

// "    bindings: ms_tcpip disabled, qv_qvteamp enabled" for an adapter with a disabled binding;
// nothing when every binding path of the adapter is enabled (or it has none yet).
void ShowAdapterBindings(const std::u16string& adapterGuid);

// "Network configuration write lock: held by "NAME" (...)" while the lock is held; else nothing.
void ShowWriteLock();

}  // namespace qvsim
