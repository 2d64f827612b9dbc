// The Create Team and Remove buttons, the wait dialog and the worker routines.
#include "qv/teamcfg/team_request.h"

#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/trace.h"

namespace qv::cfg {
namespace {

constexpr char16_t kProtocolServiceKey[] = u"System\\CurrentControlSet\\Services\\qvteamp";

bool IsProtocolDriverInstalled() {
    ScopedKey key;
    return reg::OpenKeyEx(kHkeyLocalMachine, kProtocolServiceKey, kKeyAllAccess, key.Receive()) ==
           kErrorSuccess;
}

// Runs the wait dialog for one request; the flags say which.
void RunRequest(AppState& state, Shell& shell, DialogView& page, bool create) {
    state.page.createRequested = create ? 1 : 0;
    state.page.removeRequested = create ? 0 : 1;
    WaitDialog wait(state, shell, page);
    shell.RunModalDialog(kDlgWait, wait);
    state.page.createRequested = 0;
    state.page.removeRequested = 0;
}

// The completion message (WM_USER + 500): posted, so the worker never waits for the UI thread at
// its end; on the UI thread it ends the wait dialog.
void PostRequestDone(AppState& state, Shell& shell) {
    shell.UiThread().Post([&state] {
        if (state.page.waitDialog != nullptr) state.page.waitDialog->EndDialog(0);
    });
}

}  // namespace

void OnCreateTeamButton(AppState& state, Shell& shell, DialogView& page) {
    page.SetText(kIdStatus, u"Configuring Team. Please wait..");
    if (!page.IsChecked(kIdActiveBackup) && !page.IsChecked(kIdTxLoadBalancing) && !page.IsChecked(kIdLacp)) {
        page.SetText(kIdStatus, u"Choose a Team Mode and Click on\r\nCreate Team.");
        return;
    }
    if (!IsProtocolDriverInstalled() && InstallProtocolDriver() != 1) {
        page.SetText(kIdStatus, u"Installation of Quorvex Teaming Driver\r\nfailed.");
        return;
    }
    RunRequest(state, shell, page, true);
}

void OnRemoveButton(AppState& state, Shell& shell, DialogView& page) {
    page.SetText(kIdStatus, u"Removing Selected Team. Please wait..");
    RunRequest(state, shell, page, false);
}

int WaitDialog::OnInitDialog(DialogView& view) {
    state_.page.waitDialog = &view;
    const bool create = state_.page.createRequested == 1 && state_.page.removeRequested == 0;
    const bool remove = state_.page.createRequested == 0 && state_.page.removeRequested == 1;
    if (!create && !remove) {
        PostRequestDone(state_, shell_);  // nothing to run: the dialog must not wait for a worker
        return 1;
    }
    AppState& state = state_;
    Shell& shell = shell_;
    DialogView& page = page_;
    const bool started = shell_.StartThread([&state, &shell, &page, create] {
        if (create) {
            CreateTeamThread(state, shell, page);
        } else {
            RemoveTeamThread(state, shell, page);
        }
    });
    if (!started) {
        QvTrace(u"   QvWaitDialogProc: no worker thread");
        page_.SetText(kIdStatus,
                      create ? u"Cannot Create Team at this time." : u"Cannot Remove Team at this time.");
        // Nobody else would close the dialog: it ends itself once its loop runs.
        PostRequestDone(state_, shell_);
    }
    return 1;
}

void WaitDialog::OnDestroy() {
    state_.page.waitDialog = nullptr;
}

int CreateTeamThread(AppState& state, Shell& shell, DialogView& page) {
    CreateTeam(state, shell, page);
    PostRequestDone(state, shell);
    return 0;
}

int RemoveTeamThread(AppState& state, Shell& shell, DialogView& page) {
    RemoveTeam(state, shell, page);
    PostRequestDone(state, shell);
    return 0;
}

}  // namespace qv::cfg
