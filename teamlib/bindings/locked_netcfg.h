// The session every binding change and protocol installation runs in: the configuration taken
// with the write lock for kNetCfgClientName.
#pragma once

#include <string>

#include "qv/platform/netcfg.h"
#include "qv/platform/result_codes.h"

namespace qv {

// AcquireNetCfg with the lock for kNetCfgClientName. On S_OK release *netCfg with
// ReleaseNetCfg(*netCfg, true). On NETCFG_E_NO_WRITE_LOCK *holder names the client that holds
// the lock (the name handed out is freed here); otherwise it is left empty.
HResult AcquireLockedNetCfg(INetCfg* netCfg, std::u16string* holder);

}  // namespace qv
