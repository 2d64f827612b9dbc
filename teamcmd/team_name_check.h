// The team-name check of a create: the name given with -n must not be the display name of a team
// adapter that already exists.
#pragma once

#include "command_record.h"

namespace qv::teamcmd {

// False, after printing "\nThis team name is already in use. Try another name\n", when a team
// adapter's display name equals the record's team name ignoring case; true otherwise.
bool CheckTeamNameInUse(const CommandRecord& record);

}  // namespace qv::teamcmd
