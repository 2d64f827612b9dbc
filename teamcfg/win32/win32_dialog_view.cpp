#include "qv/teamcfg/win32/win32_dialog_view.h"

#include <commctrl.h>

#include <string>

#include "qv/teamcfg/resources.h"
#include "resource.h"

namespace qv::cfg::win32 {
namespace {

// The resource compiler reads resource.h; the model and the other views read resources.h.
static_assert(IDI_SHEET == kIconSheet && IDI_LIST_ITEM == kIconListItem);
static_assert(IDS_TEAMING_PAGE == kStrTeamingPage && IDS_SHEET_CAPTION == kStrSheetCaption &&
              IDS_STATISTICS == kStrStatistics && IDS_PROPERTIES == kStrProperties &&
              IDS_GENERAL == kStrGeneral && IDS_VLAN == kStrVlan);
static_assert(IDD_TEAMING_PAGE == kDlgTeamingPage && IDD_GENERAL_PAGE == kDlgGeneralPage &&
              IDD_STATISTICS_PAGE == kDlgStatisticsPage &&
              IDD_TEAM_PROPERTIES_PAGE == kDlgTeamPropertiesPage && IDD_WAIT == kDlgWait &&
              IDD_VLAN_PAGE == kDlgVlanPage && IDD_ADD_VLAN == kDlgAddVlan);
static_assert(IDC_CREATE_TEAM == kIdCreateTeam && IDC_PROPERTIES == kIdProperties &&
              IDC_UNASSIGNED_LIST == kIdUnassignedList && IDC_ACTIVE_BACKUP == kIdActiveBackup &&
              IDC_TEAMED_LIST == kIdTeamedList && IDC_REMOVE == kIdRemove &&
              IDC_TX_LOAD_BALANCING == kIdTxLoadBalancing && IDC_LACP == kIdLacp &&
              IDC_TEAM_NAME == kIdTeamName && IDC_STATUS == kIdStatus && IDC_FAILBACK == kIdFailback &&
              IDC_ENABLE_TRAY == kIdEnableTray && IDC_MOVE_UP == kIdMoveUp && IDC_MOVE_DOWN == kIdMoveDown);
static_assert(IDC_WAIT_TEXT == kIdWaitText && IDC_REFRESH == kIdRefresh && IDC_RESET == kIdReset &&
              IDC_STATISTICS_LIST == kIdStatisticsList && IDC_TEAM_MODE_LIST == kIdTeamModeList &&
              IDC_TEAM_METHOD_LIST == kIdTeamMethodList && IDC_TEAM_MEMBERS_LIST == kIdTeamMembersList);
static_assert(IDC_VLAN_LIST == kIdVlanList && IDC_ADD_VLAN == kIdAddVlan &&
              IDC_REMOVE_VLAN == kIdRemoveVlan && IDC_VLAN_ID == kIdVlanId && IDC_VLAN_NAME == kIdVlanName &&
              IDC_UNTAGGED_VLAN == kIdUntaggedVlan);
static_assert(IDOK == kIdOk && IDCANCEL == kIdCancel);

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t buffer[32] = {};
    return window != nullptr && GetClassNameW(window, buffer, 32) > 0 && lstrcmpiW(buffer, name) == 0;
}

}  // namespace

HINSTANCE ResourceModule() {
    return GetModuleHandleW(nullptr);
}

void ShowRowIcons(HWND list) {
    if (list == nullptr) return;
    const int size = GetSystemMetrics(SM_CXSMICON);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
    if (images == nullptr) return;
    auto* icon = static_cast<HICON>(
        LoadImageW(ResourceModule(), MAKEINTRESOURCEW(kIconListItem), IMAGE_ICON, size, size, 0));
    if (icon != nullptr) ImageList_AddIcon(images, icon);
    if (icon != nullptr) DestroyIcon(icon);
    // The list view owns the image list from here and destroys it with itself.
    HIMAGELIST previous = ListView_SetImageList(list, images, LVSIL_SMALL);
    if (previous != nullptr) ImageList_Destroy(previous);
}

HWND Win32DialogView::Control(int id) const {
    return dialog_ == nullptr ? nullptr : GetDlgItem(dialog_, id);
}

HWND Win32DialogView::ListView(int id) const {
    HWND control = Control(id);
    return IsClass(control, WC_LISTVIEWW) ? control : nullptr;
}

LRESULT Win32DialogView::SendTo(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND control = Control(id);
    if (control == nullptr) return 0;
    const Quiet quiet(*this);
    return SendMessageW(control, message, wParam, lParam);
}

bool Win32DialogView::HasControl(int id) const {
    return Control(id) != nullptr;
}

void Win32DialogView::EnableControl(int id, bool enabled) {
    if (HWND control = Control(id)) {
        const Quiet quiet(*this);
        EnableWindow(control, enabled ? TRUE : FALSE);
    }
}

bool Win32DialogView::IsControlEnabled(int id) const {
    HWND control = Control(id);
    return control != nullptr && IsWindowEnabled(control) != FALSE;
}

void Win32DialogView::SetChecked(int id, bool checked) {
    SendTo(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32DialogView::IsChecked(int id) const {
    return SendTo(id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogView::SetText(int id, std::u16string_view text) {
    if (!HasControl(id)) return;
    const Quiet quiet(*this);
    SetDlgItemTextW(dialog_, id, ToWide(text).c_str());
}

std::u16string Win32DialogView::GetText(int id, int capacity) const {
    if (capacity <= 0 || !HasControl(id)) return {};
    std::wstring buffer(static_cast<size_t>(capacity), L'\0');
    const UINT length = GetDlgItemTextW(dialog_, id, buffer.data(), capacity);
    buffer.resize(length < static_cast<UINT>(capacity) ? length : static_cast<UINT>(capacity - 1));
    return std::u16string(buffer.begin(), buffer.end());
}

bool Win32DialogView::CreateListView(int id, const ControlRect& rect, std::u16string_view title) {
    if (dialog_ == nullptr) return false;
    DestroyControl(id);
    const Quiet quiet(*this);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, ToWide(title).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, rect.x,
                                rect.y, rect.width, rect.height, dialog_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ResourceModule(), nullptr);
    if (list == nullptr) return false;
    SendMessageW(list, WM_SETFONT, SendMessageW(dialog_, WM_GETFONT, 0, 0), FALSE);
    return true;
}

void Win32DialogView::DestroyControl(int id) {
    if (HWND control = Control(id)) {
        const Quiet quiet(*this);
        DestroyWindow(control);
    }
}

void Win32DialogView::SetListViewStyle(int id, const ListViewStyle& style) {
    if (ListView(id) == nullptr) return;
    const DWORD mask = LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
    const DWORD value = (style.checkBoxes ? LVS_EX_CHECKBOXES : 0) |
                        (style.gridLines ? LVS_EX_GRIDLINES : 0) |
                        (style.fullRowSelect ? LVS_EX_FULLROWSELECT : 0);
    SendTo(id, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, value);
}

void Win32DialogView::InsertColumn(int id, int column, std::u16string_view title, int width) {
    if (ListView(id) == nullptr) return;
    std::wstring text = ToWide(title);
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = text.data();
    col.cx = width;
    col.iSubItem = column;
    SendTo(id, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

int Win32DialogView::GetItemCount(int id) const {
    return ListView(id) == nullptr ? 0 : static_cast<int>(SendTo(id, LVM_GETITEMCOUNT, 0, 0));
}

// The rows carry plain texts: the model gives each row's text when it inserts it, and the list view
// keeps its own copy, so the view holds no texts of its own and answers no LVN_GETDISPINFO.
void Win32DialogView::InsertItem(int id, int index, std::u16string_view text) {
    if (ListView(id) == nullptr) return;
    const int count = GetItemCount(id);
    std::wstring copy = ToWide(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iImage = 0;  // the row icon, where the list has one
    item.iItem = index < 0 || index > count ? count : index;
    item.pszText = copy.data();
    if (SendTo(id, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) {
        item.mask |= LVIF_STATE;
        item.state = INDEXTOSTATEIMAGEMASK(1);
        item.stateMask = LVIS_STATEIMAGEMASK;
    }
    SendTo(id, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32DialogView::SetItemText(int id, int index, int column, std::u16string_view text) {
    if (ListView(id) == nullptr || index < 0 || index >= GetItemCount(id)) return;
    std::wstring copy = ToWide(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = copy.data();
    SendTo(id, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void Win32DialogView::DeleteItem(int id, int index) {
    if (ListView(id) == nullptr || index < 0) return;
    SendTo(id, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void Win32DialogView::DeleteAllItems(int id) {
    if (ListView(id) != nullptr) SendTo(id, LVM_DELETEALLITEMS, 0, 0);
}

// State image 2 is a checked box, 1 an unchecked one.
bool Win32DialogView::IsItemChecked(int id, int index) const {
    if (ListView(id) == nullptr || index < 0 || index >= GetItemCount(id)) return false;
    const auto state =
        static_cast<UINT>(SendTo(id, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void Win32DialogView::SetItemChecked(int id, int index, bool checked) {
    if (ListView(id) == nullptr || index < 0 || index >= GetItemCount(id)) return;
    if (!(SendTo(id, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES)) return;
    LVITEMW item = {};
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
    SendTo(id, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void Win32DialogView::AddString(int id, std::u16string_view text) {
    InsertString(id, -1, text);
}

void Win32DialogView::InsertString(int id, int index, std::u16string_view text) {
    HWND control = Control(id);
    const bool combo = IsClass(control, WC_COMBOBOXW);
    if (!combo && !IsClass(control, WC_LISTBOXW)) return;
    const auto count = static_cast<int>(SendTo(id, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    const std::wstring copy = ToWide(text);
    // -1 and an index past the end both add at the end.
    const int at = index < 0 || index > count ? -1 : index;
    SendTo(id, combo ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(at),
           reinterpret_cast<LPARAM>(copy.c_str()));
}

void Win32DialogView::DeleteString(int id, int index) {
    HWND control = Control(id);
    if (index < 0) return;
    if (IsClass(control, WC_COMBOBOXW)) SendTo(id, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (IsClass(control, WC_LISTBOXW)) SendTo(id, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32DialogView::SetCurrentSelection(int id, int index) {
    HWND control = Control(id);
    if (IsClass(control, WC_COMBOBOXW)) SendTo(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (IsClass(control, WC_LISTBOXW)) SendTo(id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32DialogView::EndDialog(int result) {
    if (dialog_ != nullptr) ::EndDialog(dialog_, result);
}

}  // namespace qv::cfg::win32
