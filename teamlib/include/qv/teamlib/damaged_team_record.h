// Team records that cannot be trusted. An adapter's Adapters entry whose TeamNumber is there but is
// not a REG_DWORD of 4 bytes (written by hand, by another program, or cut short) says neither that
// the adapter is free nor which team it serves. Such an adapter counts as teamed, so that nobody
// teams it again or puts VLANs on it, and the front ends report it.
#pragma once

#include "qv/platform/guid.h"
#include "qv/platform/registry.h"

namespace qv {

// True when the adapter's Adapters entry holds a TeamNumber of the wrong type or size.
bool HasDamagedTeamRecord(const Guid& adapter);

// True when the open Adapters entry holds a TeamNumber of the wrong type or size.
bool HasDamagedTeamNumber(HKey entry);

}  // namespace qv
