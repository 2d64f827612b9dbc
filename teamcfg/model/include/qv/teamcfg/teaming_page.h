// The teaming page (dialog 1100): the unassigned adapters and the teams, the mode boxes, the team
// name, Move Up/Down, the tray box, and the buttons that open the property sheet and create or
// remove a team (team_request.h).
#pragma once

#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/dialog_view.h"
#include "qv/teamcfg/shell.h"

namespace qv::cfg {

// Rebuilds the page from the system: clears the selections and the team table, fills both lists
// and the team table, puts the help text, the default team name and the tray box's state, and
// disables what needs a selection. 1 when the page was filled, 0 when the inventory failed.
int InitTeamingPage(AppState& state, DialogView& view);

// The selection rules, run when the user clicked list listId (the unassigned or the team list):
// what is enabled, checked and unchecked follows from the number of checked items there.
void ApplySelectionRules(AppState& state, DialogView& view, int listId);

// Keeps the mode boxes exclusive after the user clicked box id (Failback goes with Active Backup).
void ApplyModeBoxRules(DialogView& view, int id);

// Moves the first checked unassigned adapter one place up (step -1) or down (step 1), with its
// driver details and its check mark; nothing at the ends or without a checked adapter.
void MoveCheckedAdapter(AppState& state, DialogView& view, int step);

// The page's dialog procedure.
class TeamingPage final : public DialogClient {
  public:
    TeamingPage(AppState& state, Shell& shell) : state_(state), shell_(shell) {}

    int OnInitDialog(DialogView& view) override { return InitTeamingPage(state_, view); }
    void OnCommand(DialogView& view, int controlId, int code) override;
    void OnListClick(DialogView& view, int listId) override;

  private:
    AppState& state_;
    Shell& shell_;
};

}  // namespace qv::cfg
