// The Win32 view of one dialog or property page: the model's DialogView over a dialog window, whose
// controls are its children found by id (GetDlgItem). Model calls send the controls their messages
// with the view marked quiet, and the dialog procedures (dialog_procs.h) pass no notification to the
// model while it is: only the user's actions reach the page's DialogClient.
#pragma once

#include <windows.h>

#include <string>

#include "qv/teamcfg/dialog_view.h"

namespace qv::cfg::win32 {

class Win32DialogView final : public DialogView {
  public:
    Win32DialogView() = default;
    explicit Win32DialogView(HWND dialog) : dialog_(dialog) {}

    HWND window() const { return dialog_; }
    void Attach(HWND dialog) { dialog_ = dialog; }
    // True while a model call changes a control: the notifications it raises are not the user's.
    bool quiet() const { return quiet_ != 0; }

    bool HasControl(int id) const override;
    void EnableControl(int id, bool enabled) override;
    bool IsControlEnabled(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void SetText(int id, std::u16string_view text) override;
    std::u16string GetText(int id, int capacity) const override;
    bool CreateListView(int id, const ControlRect& rect, std::u16string_view title) override;
    void DestroyControl(int id) override;
    void SetListViewStyle(int id, const ListViewStyle& style) override;
    void InsertColumn(int id, int column, std::u16string_view title, int width) override;
    int GetItemCount(int id) const override;
    void InsertItem(int id, int index, std::u16string_view text) override;
    void SetItemText(int id, int index, int column, std::u16string_view text) override;
    void DeleteItem(int id, int index) override;
    void DeleteAllItems(int id) override;
    bool IsItemChecked(int id, int index) const override;
    void SetItemChecked(int id, int index, bool checked) override;
    void AddString(int id, std::u16string_view text) override;
    void InsertString(int id, int index, std::u16string_view text) override;
    void DeleteString(int id, int index) override;
    void SetCurrentSelection(int id, int index) override;
    void EndDialog(int result) override;

  private:
    // Marks the view quiet for the life of one model call.
    class Quiet {
      public:
        explicit Quiet(const Win32DialogView& view) : view_(view) { ++view_.quiet_; }
        ~Quiet() { --view_.quiet_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

      private:
        const Win32DialogView& view_;
    };

    HWND Control(int id) const;
    // The control of id when it is a list view, else nullptr.
    HWND ListView(int id) const;
    LRESULT SendTo(int id, UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND dialog_ = nullptr;
    mutable int quiet_ = 0;
};

// The model's UTF-16 text as the zero-terminated text Win32 takes (wchar_t is UTF-16 on Windows).
inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// Gives the rows of a report list view the list item icon (icon 104) in front of their text.
void ShowRowIcons(HWND list);

// The module whose resources hold the dialogs, strings and icons (the program itself).
HINSTANCE ResourceModule();

}  // namespace qv::cfg::win32
