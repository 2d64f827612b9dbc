// The rows of the page's two lists and the adapter entries behind them: row i of a list shows
// entry i of its adapter list. Counts are bounded by the lists' room, whatever they hold.
#pragma once

#include <algorithm>
#include <string_view>

#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"

namespace qv::cfg {

inline int EntryCount(const AdapterList& list) {
    return std::clamp(list.count, 0, kAdapterListCapacity);
}

// The display name of an entry, up to its terminator.
inline std::u16string_view DisplayName(const AdapterEntry& entry) {
    return SlotText(entry.displayName, kAdapterNameCapacity);
}

}  // namespace qv::cfg
