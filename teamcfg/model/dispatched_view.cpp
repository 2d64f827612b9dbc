#include "qv/teamcfg/dispatched_view.h"

#include <string>

namespace qv::cfg {

bool DispatchedView::HasControl(int id) const {
    return OnUi([&](DialogView& v) { return v.HasControl(id); });
}
void DispatchedView::EnableControl(int id, bool enabled) {
    OnUi([&](DialogView& v) { v.EnableControl(id, enabled); });
}
bool DispatchedView::IsControlEnabled(int id) const {
    return OnUi([&](DialogView& v) { return v.IsControlEnabled(id); });
}
void DispatchedView::SetChecked(int id, bool checked) {
    OnUi([&](DialogView& v) { v.SetChecked(id, checked); });
}
bool DispatchedView::IsChecked(int id) const {
    return OnUi([&](DialogView& v) { return v.IsChecked(id); });
}
void DispatchedView::SetText(int id, std::u16string_view text) {
    OnUi([&](DialogView& v) { v.SetText(id, text); });
}
std::u16string DispatchedView::GetText(int id, int capacity) const {
    return OnUi([&](DialogView& v) { return v.GetText(id, capacity); });
}
bool DispatchedView::CreateListView(int id, const ControlRect& rect, std::u16string_view title) {
    return OnUi([&](DialogView& v) { return v.CreateListView(id, rect, title); });
}
void DispatchedView::DestroyControl(int id) {
    OnUi([&](DialogView& v) { v.DestroyControl(id); });
}
void DispatchedView::SetListViewStyle(int id, const ListViewStyle& style) {
    OnUi([&](DialogView& v) { v.SetListViewStyle(id, style); });
}
void DispatchedView::InsertColumn(int id, int column, std::u16string_view title, int width) {
    OnUi([&](DialogView& v) { v.InsertColumn(id, column, title, width); });
}
int DispatchedView::GetItemCount(int id) const {
    return OnUi([&](DialogView& v) { return v.GetItemCount(id); });
}
void DispatchedView::InsertItem(int id, int index, std::u16string_view text) {
    OnUi([&](DialogView& v) { v.InsertItem(id, index, text); });
}
void DispatchedView::SetItemText(int id, int index, int column, std::u16string_view text) {
    OnUi([&](DialogView& v) { v.SetItemText(id, index, column, text); });
}
void DispatchedView::DeleteItem(int id, int index) {
    OnUi([&](DialogView& v) { v.DeleteItem(id, index); });
}
void DispatchedView::DeleteAllItems(int id) {
    OnUi([&](DialogView& v) { v.DeleteAllItems(id); });
}
bool DispatchedView::IsItemChecked(int id, int index) const {
    return OnUi([&](DialogView& v) { return v.IsItemChecked(id, index); });
}
void DispatchedView::SetItemChecked(int id, int index, bool checked) {
    OnUi([&](DialogView& v) { v.SetItemChecked(id, index, checked); });
}
void DispatchedView::AddString(int id, std::u16string_view text) {
    OnUi([&](DialogView& v) { v.AddString(id, text); });
}
void DispatchedView::InsertString(int id, int index, std::u16string_view text) {
    OnUi([&](DialogView& v) { v.InsertString(id, index, text); });
}
void DispatchedView::DeleteString(int id, int index) {
    OnUi([&](DialogView& v) { v.DeleteString(id, index); });
}
void DispatchedView::SetCurrentSelection(int id, int index) {
    OnUi([&](DialogView& v) { v.SetCurrentSelection(id, index); });
}
void DispatchedView::EndDialog(int result) {
    OnUi([&](DialogView& v) { v.EndDialog(result); });
}

}  // namespace qv::cfg
