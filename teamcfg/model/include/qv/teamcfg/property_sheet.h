// The property sheet of the checked adapter or team: General, Statistics, VLAN and, for a team,
// Properties.
#pragma once

#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/shell.h"

namespace qv::cfg {

// Builds and runs the sheet for the first checked unassigned adapter, else the first checked team
// of the teaming page (view).
void ShowPropertiesPage(AppState& state, Shell& shell, DialogView& page);

}  // namespace qv::cfg
