// The check boxes of a list view: an item is checked when its state image is 2, unchecked at 1.
#pragma once

#include <cstdint>

#include "qv/teamcfg/dialog_view.h"

namespace qv::cfg {

// The number of checked items of the list.
int CountCheckedItems(const DialogView& view, int listId);

// Writes the indices of the first `most` checked items, in list order, to indices; how many.
int GetCheckedItems(const DialogView& view, int listId, int most, int32_t* indices);

// Unchecks every item of the list.
void UncheckAllItems(DialogView& view, int listId);

}  // namespace qv::cfg
