// The dialog procedures of QvTeamCfg: thin adapters from window messages to the DialogClient of
// each dialog and page. A procedure finds its DialogContext in the window's user slot (stored at
// WM_INITDIALOG, cleared at WM_DESTROY) and passes on only the user's actions: a notification raised
// while the model itself changes a control (the view is quiet then) does not reach the model.
#pragma once

#include <windows.h>

#include "qv/teamcfg/dialog_view.h"
#include "qv/teamcfg/win32/win32_dialog_view.h"

namespace qv::cfg::win32 {

// What a dialog procedure works with: the model's side of the dialog and the view over its window.
// Property pages get it as the lParam of their PROPSHEETPAGEW, dialogs as their creation value.
struct DialogContext {
    DialogClient* client = nullptr;  // nullptr: nobody listens (the busy window)
    Win32DialogView view;
};

// Property pages: the teaming page (1100), General (1101), Statistics (1102), the team's Properties
// (1103) and VLAN (101). PSN_SETACTIVE reaches OnSetActive; PSN_APPLY, PSN_KILLACTIVE and
// PSN_SETACTIVE answer 0 (no error, allow) and return TRUE; PSN_RESET returns FALSE.
INT_PTR CALLBACK QvInstDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK QvPropertiesDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK QvStatisticsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK QvTeamPropertiesDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK QvVlansDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Dialogs: the wait dialog (1104, also the busy window) and Add Vlan (102).
INT_PTR CALLBACK QvWaitDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK QvAddVlanDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The procedure of a template (nullptr for an unknown one) and whether it is a property page.
DLGPROC DialogProcedure(int templateId);
bool IsPageTemplate(int templateId);

}  // namespace qv::cfg::win32
