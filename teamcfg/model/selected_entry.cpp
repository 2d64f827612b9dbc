// The entry the property sheet shows.
#include "qv/teamcfg/property_pages.h"

namespace qv::cfg {

const AdapterEntry* SelectedEntry(const AppState& state, bool* isTeam) {
    *isTeam = false;
    const AdapterList& adapters = state.lists.unassignedAdapters;
    if (state.nicSelected >= 0 && state.nicSelected < adapters.count &&
        state.nicSelected < kAdapterListCapacity)
        return &adapters.entries[state.nicSelected];
    const AdapterList& teams = state.lists.teamAdapters;
    if (state.teamSelected >= 0 && state.teamSelected < teams.count &&
        state.teamSelected < kAdapterListCapacity) {
        *isTeam = true;
        return &teams.entries[state.teamSelected];
    }
    return nullptr;
}

}  // namespace qv::cfg
