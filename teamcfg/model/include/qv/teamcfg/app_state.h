// The state of QvTeamCfg: the page data that the teaming page and its worker share, the adapter
// lists, and the selections the property sheet works on. One AppState lives for the whole program;
// the pages and dialogs hold a reference to it.
#pragma once

#include <cstdint>

#include "qv/teamcfg/dialog_view.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::cfg {

constexpr int kMaxCheckedAdapters = 8;
constexpr int kMaxCheckedTeams = 4;
constexpr int kStatisticsRows = 21;

// The page data. The UI thread writes the request flags and the wait dialog before a worker starts;
// the worker alone writes the team records (and g_numTeams) until it posts its completion.
struct PageData {
    TeamTable teams;                   // capacity kGuiTeamCapacity; record i belongs to team adapter i
    DialogView* waitDialog = nullptr;  // the open wait dialog
    int32_t createRequested = 0;       // 1 while a team creation runs
    int32_t removeRequested = 0;       // 1 while a team removal runs
};

struct AppState {
    PageData page;
    // Unassigned physical adapters (the top list) and team adapters (the bottom list), in list order.
    AdapterLists lists;
    int32_t checkedAdapters[kMaxCheckedAdapters];
    int32_t checkedTeams[kMaxCheckedTeams];
    // The entry the property sheet shows: exactly one of them is set (not -1) while it is open.
    int32_t nicSelected = -1;
    int32_t teamSelected = -1;
    // The VLAN area of the selected entry, refilled each time the VLAN page is made.
    VlanList vlans;
    // Baseline of the statistics page, one for the whole program (Reset copies the last values).
    uint64_t statisticsBaseline[kStatisticsRows];
    uint64_t statisticsLast[kStatisticsRows];
    // The registered "TermQvTray" message.
    uint32_t termTrayMessage = 0;
    // Set until the page's list views got their columns.
    bool listsNeedColumns = true;
};

}  // namespace qv::cfg
