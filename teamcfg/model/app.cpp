#include "qv/teamcfg/app.h"

#include <memory>
#include <new>

#include "qv/platform/process.h"
#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"
#include "qv/teamcfg/tray.h"
#include "qv/teamlib/inventory.h"

namespace qv::cfg {

int TeamCfgMain(Shell& shell) {
    if (IsQvTeamCfgRunning() == 1) {
        shell.MessageBox(u"Another Instance of the app is already running", u"", kMbOk);
        return 0;
    }
    const uint32_t termTrayMessage = proc::RegisterWindowMessage(kTermTrayMessageName);
    if (termTrayMessage == 0) {
        shell.MessageBox(u"Cannot register window message", u"", kMbOk);
        return 0;
    }
    std::unique_ptr<AppState> state(new (std::nothrow) AppState{});
    if (!state) {
        shell.MessageBox(u"Cannot Allocate Memory", u"", kMbOk);
        return 0;
    }
    state->termTrayMessage = termTrayMessage;
    TeamingPage page(*state, shell);
    const SheetDescription sheet{LoadString(kStrSheetCaption),
                          kIconSheet,
                          false,
                          {SheetPage{kDlgTeamingPage, LoadString(kStrTeamingPage), &page}}};
    if (!shell.RunPropertySheet(sheet)) shell.MessageBox(u"Cannot Create Property Sheet", u"", kMbOk);
    return 0;
}

}  // namespace qv::cfg
