// A view of a dialog for a worker thread: each call is carried out on the UI thread through the
// dispatcher (Send), so a worker reads and changes controls as the UI thread would.
#pragma once

#include <type_traits>

#include "qv/teamcfg/dialog_view.h"
#include "qv/teamcfg/shell.h"

namespace qv::cfg {

class DispatchedView final : public DialogView {
  public:
    DispatchedView(DialogView& view, Dispatcher& uiThread) : view_(view), ui_(uiThread) {}

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
    // Runs call(view) on the UI thread and hands back its result.
    template <typename Call>
    auto OnUi(Call call) const {
        using Result = decltype(call(view_));
        if constexpr (std::is_void_v<Result>) {
            ui_.Send([&] { call(view_); });
        } else {
            Result result{};
            ui_.Send([&] { result = call(view_); });
            return result;
        }
    }

    DialogView& view_;
    Dispatcher& ui_;
};

}  // namespace qv::cfg
