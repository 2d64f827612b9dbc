// The view port of the GUI model: the controls of one open dialog or property page, found by their
// ids (resources.h), and the dialog procedure the model gives each dialog.
//
// Rules every view keeps:
// - Calls come on the UI thread only. A worker thread reaches a view through DispatchedView
//   (dispatched_view.h), which carries each call over to the UI thread.
// - Changes the model makes through a view raise no notifications; only the user's actions do (a
//   click on a check box, a button or a list item's check box).
// - A call naming a control that does not exist does nothing and answers as an empty control
//   (false, 0, empty text), as Win32 calls on a null window do.
#pragma once

#include <string>
#include <string_view>

namespace qv::cfg {

// Notification codes of OnCommand (BN_CLICKED and the edit codes that reach the page).
constexpr int kBnClicked = 0;

struct ListViewStyle {
    bool checkBoxes = false;
    bool gridLines = false;
    bool fullRowSelect = false;
};

// A position and size in pixels of the page's client area.
struct ControlRect {
    int x, y, width, height;
};

class DialogView {
  public:
    virtual ~DialogView() = default;

    // Any control: GetDlgItem, EnableWindow, IsWindowEnabled.
    virtual bool HasControl(int id) const = 0;
    virtual void EnableControl(int id, bool enabled) = 0;
    virtual bool IsControlEnabled(int id) const = 0;

    // Check boxes: BM_SETCHECK / BM_GETCHECK.
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;

    // Edits and static texts: SetDlgItemTextW; GetDlgItemTextW with a buffer of capacity units,
    // so at most capacity - 1 characters come back.
    virtual void SetText(int id, std::u16string_view text) = 0;
    virtual std::u16string GetText(int id, int capacity) const = 0;

    // List views in report style. CreateListView makes one at run time (false when it cannot be
    // made); DestroyControl removes a control made so.
    virtual bool CreateListView(int id, const ControlRect& rect, std::u16string_view title) = 0;
    virtual void DestroyControl(int id) = 0;
    virtual void SetListViewStyle(int id, const ListViewStyle& style) = 0;
    virtual void InsertColumn(int id, int column, std::u16string_view title, int width) = 0;
    virtual int GetItemCount(int id) const = 0;
    // Inserts a row at index (the end when index is past it) with text in column 0, unchecked.
    virtual void InsertItem(int id, int index, std::u16string_view text) = 0;
    virtual void SetItemText(int id, int index, int column, std::u16string_view text) = 0;
    virtual void DeleteItem(int id, int index) = 0;
    virtual void DeleteAllItems(int id) = 0;
    // The check box of a row (state image 2 checked, 1 unchecked).
    virtual bool IsItemChecked(int id, int index) const = 0;
    virtual void SetItemChecked(int id, int index, bool checked) = 0;

    // Drop-down lists and list boxes: CB_/LB_ ADDSTRING, INSERTSTRING, DELETESTRING, SETCURSEL
    // (-1 selects nothing).
    virtual void AddString(int id, std::u16string_view text) = 0;
    virtual void InsertString(int id, int index, std::u16string_view text) = 0;
    virtual void DeleteString(int id, int index) = 0;
    virtual void SetCurrentSelection(int id, int index) = 0;

    // EndDialog for a modal dialog: the view closes it and RunModalDialog returns result.
    virtual void EndDialog(int result) = 0;
};

// The model's side of one dialog or page: what its dialog procedure does for the messages the views
// pass on. The view calls these on the UI thread.
class DialogClient {
  public:
    virtual ~DialogClient() = default;
    // WM_INITDIALOG, when every control of the template exists. The procedure's result.
    virtual int OnInitDialog(DialogView& view) = 0;
    // WM_COMMAND from a button, a check box or an edit (code kBnClicked for clicks).
    virtual void OnCommand(DialogView& view, int controlId, int code) {
        (void)view, (void)controlId, (void)code;
    }
    // NM_CLICK on a list view, also when the user toggled an item's check box.
    virtual void OnListClick(DialogView& view, int listId) { (void)view, (void)listId; }
    // PSN_SETACTIVE: the page becomes the visible page of its sheet.
    virtual void OnSetActive(DialogView& view) { (void)view; }
    // WM_DESTROY.
    virtual void OnDestroy() {}
};

}  // namespace qv::cfg
