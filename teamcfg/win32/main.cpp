// QvTeamCfg on Windows: the teaming GUI as dialogs and property sheets over the model.
#include <windows.h>
#undef MessageBox  // the shell port's call, not the macro
#include <commctrl.h>

#include "qv/teamcfg/app.h"
#include "qv/teamcfg/win32/win32_shell.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // List views and property sheets live in comctl32; the tab and list classes must be registered.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    qv::cfg::win32::Win32Shell shell;
    return qv::cfg::TeamCfgMain(shell);
}
