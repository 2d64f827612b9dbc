// Move Up / Move Down: the order of the unassigned list is the preference order a new team records.
#include <utility>

#include "qv/teamcfg/adapter_rows.h"
#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"

namespace qv::cfg {

void MoveCheckedAdapter(AppState& state, DialogView& view, int step) {
    int32_t from = -1;
    if (GetCheckedItems(view, kIdUnassignedList, 1, &from) != 1) return;
    AdapterList& list = state.lists.unassignedAdapters;
    const int rows = std::min(EntryCount(list), view.GetItemCount(kIdUnassignedList));
    const int to = from + step;
    if (from >= rows || to < 0 || to >= rows) return;
    // An entry carries its driver details, so they move with it.
    std::swap(list.entries[from], list.entries[to]);
    view.SetItemChecked(kIdUnassignedList, from, false);
    view.SetItemChecked(kIdUnassignedList, to, true);
    view.SetItemText(kIdUnassignedList, from, 0, DisplayName(list.entries[from]));
    view.SetItemText(kIdUnassignedList, to, 0, DisplayName(list.entries[to]));
}

}  // namespace qv::cfg
