#include "qv/teamcfg/win32/dialog_procs.h"

#include <commctrl.h>
#include <prsht.h>

#include "qv/teamcfg/resources.h"

namespace qv::cfg::win32 {
namespace {

// How the procedures differ: what a page answers for notifications it does not handle, and whether
// it claims WM_DEVICECHANGE (the teaming page only).
struct ProcedureRules {
    bool page;
    INT_PTR otherNotifications;  // TRUE: claimed and answered 0; FALSE: left to the sheet
    bool claimsDeviceChange;
};
constexpr ProcedureRules kTeamingPageRules{true, FALSE, true};
constexpr ProcedureRules kPageRules{true, TRUE, false};
constexpr ProcedureRules kDialogRules{false, FALSE, false};

DialogContext* ContextOf(HWND window) {
    return reinterpret_cast<DialogContext*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR Answer(HWND window, LRESULT result) {
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

// The user changed the check box of a row, with the mouse or the space bar. Windows follows a mouse
// toggle with NM_CLICK, Wine does not, so the page hears of the change here; on Windows it then hears
// of the click as well, which is the same to it: its rules depend on the check states only.
bool IsCheckBoxToggle(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE)) return false;
    if (!((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) return false;
    return (change.uOldState & LVIS_STATEIMAGEMASK) != 0;  // not the box a row gets when it is made
}

INT_PTR OnNotify(HWND window, DialogContext& context, const NMHDR& header, const ProcedureRules& rules) {
    DialogClient& client = *context.client;
    switch (header.code) {
        case PSN_SETACTIVE:
            client.OnSetActive(context.view);
            return Answer(window, 0);
        case PSN_APPLY:
        case PSN_KILLACTIVE:
            return Answer(window, 0);
        case PSN_RESET:
            return FALSE;
        case NM_CLICK:
            if (!context.view.quiet()) client.OnListClick(context.view, static_cast<int>(header.idFrom));
            return FALSE;
        case LVN_ITEMCHANGED:
            if (!context.view.quiet() && IsCheckBoxToggle(reinterpret_cast<const NMLISTVIEW&>(header)))
                client.OnListClick(context.view, static_cast<int>(header.idFrom));
            return FALSE;
        default:
            // A page that claims the other notifications answers them with 0 too.
            return rules.otherNotifications == TRUE ? Answer(window, 0) : FALSE;
    }
}

INT_PTR DialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const ProcedureRules& rules) {
    if (message == WM_INITDIALOG) {
        auto* context =
            rules.page
                ? reinterpret_cast<DialogContext*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam)
                : reinterpret_cast<DialogContext*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
        if (context == nullptr) return TRUE;
        context->view.Attach(window);
        return context->client == nullptr ? TRUE : context->client->OnInitDialog(context->view);
    }
    DialogContext* context = ContextOf(window);
    if (context == nullptr || context->client == nullptr) return FALSE;
    switch (message) {
        case WM_DESTROY:
            SetWindowLongPtrW(window, DWLP_USER, 0);
            context->client->OnDestroy();
            context->view.Attach(nullptr);
            return FALSE;
        case WM_DEVICECHANGE:
            return rules.claimsDeviceChange ? TRUE : FALSE;
        case WM_COMMAND: {
            // Only controls of this dialog: Escape in a dialog without a Cancel button names none.
            const int id = LOWORD(wParam);
            if (context->view.quiet() || GetDlgItem(window, id) == nullptr) return FALSE;
            context->client->OnCommand(context->view, id, HIWORD(wParam));
            return FALSE;
        }
        case WM_NOTIFY:
            return OnNotify(window, *context, *reinterpret_cast<const NMHDR*>(lParam), rules);
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK QvInstDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The adapter lists show the list item icon before each adapter's name.
    if (message == WM_INITDIALOG)
        for (int list : {kIdUnassignedList, kIdTeamedList}) ShowRowIcons(GetDlgItem(window, list));
    return DialogMessage(window, message, wParam, lParam, kTeamingPageRules);
}
INT_PTR CALLBACK QvPropertiesDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogMessage(window, message, wParam, lParam, kPageRules);
}
INT_PTR CALLBACK QvStatisticsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogMessage(window, message, wParam, lParam, kPageRules);
}
INT_PTR CALLBACK QvTeamPropertiesDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogMessage(window, message, wParam, lParam, kPageRules);
}
INT_PTR CALLBACK QvVlansDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogMessage(window, message, wParam, lParam, kPageRules);
}
INT_PTR CALLBACK QvWaitDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogMessage(window, message, wParam, lParam, kDialogRules);
}
INT_PTR CALLBACK QvAddVlanDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogMessage(window, message, wParam, lParam, kDialogRules);
}

DLGPROC DialogProcedure(int templateId) {
    switch (templateId) {
        case kDlgTeamingPage:
            return QvInstDialogProc;
        case kDlgGeneralPage:
            return QvPropertiesDialogProc;
        case kDlgStatisticsPage:
            return QvStatisticsDialogProc;
        case kDlgTeamPropertiesPage:
            return QvTeamPropertiesDialogProc;
        case kDlgVlanPage:
            return QvVlansDialogProc;
        case kDlgWait:
            return QvWaitDialogProc;
        case kDlgAddVlan:
            return QvAddVlanDialogProc;
        default:
            return nullptr;
    }
}

bool IsPageTemplate(int templateId) {
    return templateId != kDlgWait && templateId != kDlgAddVlan && DialogProcedure(templateId) != nullptr;
}

}  // namespace qv::cfg::win32
