// The TeamBinding of an Adapters entry, read back: the readers of the team store that find a team's
// members (the team list, the team's VLAN list) match the team by the GUID it names, compared as a
// GUID, so the letter case of the stored string does not matter.
#pragma once

#include "qv/platform/guid.h"
#include "qv/platform/registry.h"

namespace qv {

// The team adapter GUID that the entry's TeamBinding ("\Device\{GUID}") names; entryName is only
// traced. False when the entry has no TeamBinding or it names no GUID.
bool ReadTeamBinding(HKey entry, const char16_t* entryName, Guid* team);

}  // namespace qv
