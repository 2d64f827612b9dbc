// The team adapters that the removal and VLAN commands work on.
#pragma once

#include "qv/teamlib/inventory.h"

namespace qv::teamcmd {

// Fills table (cleared here) with the teaming driver's virtual adapters except the VLAN adapters:
// those are virtual adapters of the same driver, but neither a team to remove nor a parent for
// another VLAN, and leaving them in would also push teams out of the positions that the team table
// represents. The answer of QueryAdapters: 1, or 0 when the device list cannot be opened.
int QueryTeamAdapters(AdapterTable* table);

}  // namespace qv::teamcmd
