#include "qv/teamcfg/check_list.h"

namespace qv::cfg {

int CountCheckedItems(const DialogView& view, int listId) {
    int checked = 0;
    const int items = view.GetItemCount(listId);
    for (int i = 0; i < items; ++i) checked += view.IsItemChecked(listId, i) ? 1 : 0;
    return checked;
}

int GetCheckedItems(const DialogView& view, int listId, int most, int32_t* indices) {
    int found = 0;
    const int items = view.GetItemCount(listId);
    for (int i = 0; i < items && found < most; ++i) {
        if (view.IsItemChecked(listId, i)) indices[found++] = i;
    }
    return found;
}

void UncheckAllItems(DialogView& view, int listId) {
    const int items = view.GetItemCount(listId);
    for (int i = 0; i < items; ++i) view.SetItemChecked(listId, i, false);
}

}  // namespace qv::cfg
