// The program's start: the single-instance check, the "TermQvTray" message, the page data and the
// property sheet with the teaming page. Views call it from their entry point (WinMain, main).
#pragma once

#include "qv/teamcfg/shell.h"

namespace qv::cfg {

// Runs QvTeamCfg until its sheet is closed. Start-up failures are shown in a message box without a
// title. Always 0.
int TeamCfgMain(Shell& shell);

}  // namespace qv::cfg
