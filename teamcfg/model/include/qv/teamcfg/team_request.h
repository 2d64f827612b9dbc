// Team creation and removal from the teaming page. The buttons run the wait dialog modally; its
// procedure starts a worker thread that does the work through the library, reaches the page's
// controls only through the UI thread's dispatcher, reports in the page's status box and posts the
// completion that ends the wait dialog. The wait dialog keeps a second request from starting.
#pragma once

#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/dialog_view.h"
#include "qv/teamcfg/shell.h"
#include "qv/teamlib/team_store.h"

namespace qv::cfg {

// The Create Team and Remove buttons (UI thread; page is the page's view).
void OnCreateTeamButton(AppState& state, Shell& shell, DialogView& page);
void OnRemoveButton(AppState& state, Shell& shell, DialogView& page);

// The wait dialog's procedure (QvWaitDialogProc): at its start it records itself in the page data
// and starts the worker the request flags ask for; when no thread can be started it says so in the
// status box and ends itself.
class WaitDialog final : public DialogClient {
  public:
    WaitDialog(AppState& state, Shell& shell, DialogView& page) : state_(state), shell_(shell), page_(page) {}
    int OnInitDialog(DialogView& view) override;
    void OnDestroy() override;

  private:
    AppState& state_;
    Shell& shell_;
    DialogView& page_;
};

// Worker routines: run CreateTeam / RemoveTeam, then post the completion to the wait dialog. 0.
int CreateTeamThread(AppState& state, Shell& shell, DialogView& page);
int RemoveTeamThread(AppState& state, Shell& shell, DialogView& page);

// The work itself, callable from any thread: page is the page's view on the UI thread, which these
// reach through shell's dispatcher (the page's rebuild and message boxes too). CreateTeam: 1 when
// the team was created, else 0. RemoveTeam: 1 done, 0 when a team's VLAN was not removed, 2 when
// the user is no administrator.
int CreateTeam(AppState& state, Shell& shell, DialogView& page);
int RemoveTeam(AppState& state, Shell& shell, DialogView& page);

// 0 when every member of team opens as a device (\\.\{GUID}), 1 at the first that does not.
int ValidateNICs(const TeamInfo& team);

}  // namespace qv::cfg
