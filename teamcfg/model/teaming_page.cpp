// The page's procedure: which handler a click reaches.
#include "qv/teamcfg/teaming_page.h"

#include "qv/teamcfg/property_sheet.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/team_request.h"
#include "qv/teamcfg/tray.h"

namespace qv::cfg {
namespace {

// The command codes the page handles: clicks (0) and the two other codes the buttons send.
bool IsHandledCode(int code) {
    return code == kBnClicked || code == 1 || code == 5;
}

}  // namespace

void TeamingPage::OnCommand(DialogView& view, int controlId, int code) {
    if (!IsHandledCode(code)) return;
    switch (controlId) {
        case kIdActiveBackup:
        case kIdTxLoadBalancing:
        case kIdLacp:
        case kIdFailback:
            ApplyModeBoxRules(view, controlId);
            break;
        case kIdMoveUp:
        case kIdMoveDown:
            if (code == kBnClicked) MoveCheckedAdapter(state_, view, controlId == kIdMoveUp ? -1 : 1);
            break;
        case kIdEnableTray:
            if (view.IsChecked(kIdEnableTray)) {
                CreateTrayIcon();
            } else {
                StopTrayIcon(state_.termTrayMessage);
            }
            break;
        case kIdProperties:
            ShowPropertiesPage(state_, shell_, view);
            break;
        case kIdCreateTeam:
            OnCreateTeamButton(state_, shell_, view);
            break;
        case kIdRemove:
            OnRemoveButton(state_, shell_, view);
            break;
        default:
            break;
    }
}

void TeamingPage::OnListClick(DialogView& view, int listId) {
    if (listId == kIdUnassignedList || listId == kIdTeamedList) ApplySelectionRules(state_, view, listId);
}

}  // namespace qv::cfg
