// The property sheet of the checked adapter or team.
#include "qv/teamcfg/property_sheet.h"

#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/inventory.h"

namespace qv::cfg {
namespace {

// The index of the first checked row of a list view, or -1.
int FirstChecked(const DialogView& view, int listId) {
    int32_t first = -1;
    return GetCheckedItems(view, listId, 1, &first) == 1 ? first : -1;
}

}  // namespace

void ShowPropertiesPage(AppState& state, Shell& shell, DialogView& page) {
    state.nicSelected = FirstChecked(page, kIdUnassignedList);
    state.teamSelected = state.nicSelected < 0 ? FirstChecked(page, kIdTeamedList) : -1;
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state, &isTeam);
    if (entry == nullptr) return;  // nothing checked: there is no sheet to show

    GeneralPage general(state, shell);
    StatisticsPage statistics(state, shell);
    VlanPage vlans(state, shell);
    TeamPropertiesPage team(state);
    SheetDescription sheet{LoadString(kStrProperties), kIconSheet, true, {}};
    sheet.pages.push_back({kDlgGeneralPage, LoadString(kStrGeneral), &general});
    sheet.pages.push_back({kDlgStatisticsPage, LoadString(kStrStatistics), &statistics});
    if (isTeam || IsQuorvexNic(entry->guid))
        sheet.pages.push_back({kDlgVlanPage, LoadString(kStrVlan), &vlans});
    if (isTeam) sheet.pages.push_back({kDlgTeamPropertiesPage, LoadString(kStrProperties), &team});
    if (!shell.RunPropertySheet(sheet)) shell.MessageBox(u"Cannot Create Property Sheet", u"", kMbOk);
}

}  // namespace qv::cfg
