// The page's rebuild from the system, at start and after each team creation or removal.
#include <cstring>

#include "qv/platform/guid.h"
#include "qv/platform/security.h"
#include "qv/teamcfg/adapter_rows.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"
#include "qv/teamcfg/tray.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv::cfg {
namespace {

constexpr int kColumnWidth = 275;
constexpr int kDefaultNameCandidates = 4;

constexpr char16_t kHelpText[] =
    u"Select two NICs from 'Unassigned Adapters' list  \r\nchoose a 'Teaming Mode', and click on "
    u"'Create\r\nTeam' button. Use 'Move Up'/'Move Down' button\r\nto set preference order of an adapter "
    u"within a team";

constexpr int kDisabledAtStart[] = {kIdActiveBackup, kIdTxLoadBalancing, kIdLacp,
                                    kIdFailback,     kIdMoveUp,          kIdMoveDown};

void FillList(DialogView& view, int listId, const AdapterList& list) {
    for (int i = 0; i < EntryCount(list); ++i) view.InsertItem(listId, i, DisplayName(list.entries[i]));
}

// "Team0" to "Team3": the first name no team has; "Team3" when all are taken.
std::u16string DefaultTeamName(const AdapterList& teamAdapters) {
    std::u16string name;
    for (int i = 0; i < kDefaultNameCandidates; ++i) {
        name = U16Format(u"Team%d", i);
        if (CheckTeamName(name.c_str(), teamAdapters) == QV_TEAM_NAME_OK) break;
    }
    return name;
}

}  // namespace

int InitTeamingPage(AppState& state, DialogView& view) {
    QvTrace(u"-->OnInitDialog:");
    std::memset(state.checkedAdapters, 0, sizeof(state.checkedAdapters));
    std::memset(state.checkedTeams, 0, sizeof(state.checkedTeams));
    ClearTeamTable(&state.page.teams);
    std::memset(&state.lists, 0, sizeof(state.lists));

    if (state.listsNeedColumns) {
        for (const auto& [listId, title] : {std::pair{kIdUnassignedList, u"Unassigned Adapters"},
                                            std::pair{kIdTeamedList, u"Teamed Adapters"}}) {
            view.SetListViewStyle(listId, ListViewStyle{.checkBoxes = true});
            view.InsertColumn(listId, 0, title, kColumnWidth);
        }
        state.listsNeedColumns = false;
    } else {
        view.DeleteAllItems(kIdUnassignedList);
        view.DeleteAllItems(kIdTeamedList);
    }
    for (int id : {kIdCreateTeam, kIdRemove, kIdProperties}) view.EnableControl(id, false);

    if (PopulateGuids(nullptr, &state.lists, QV_POPULATE, kGuidDevClassNet) != 1) {
        QvTrace(u"<--OnInitDialog: PopulateGuids failed");
        return 0;
    }
    FillList(view, kIdUnassignedList, state.lists.unassignedAdapters);
    FillList(view, kIdTeamedList, state.lists.teamAdapters);
    if (PopulateTeamList(&state.page.teams, state.lists.teamAdapters) != 1) {
        QvTrace(u"<--OnInitDialog: PopulateTeamList failed");
        return 0;
    }

    // Without administrator rights the adapters' driver keys do not open and the lists stay empty:
    // the status box says why instead of the help text.
    view.SetText(kIdStatus, AdministratorRightsMissing() ? sec::kAdministratorRightsNeededW : kHelpText);
    view.SetText(kIdTeamName, DefaultTeamName(state.lists.teamAdapters));
    view.SetChecked(kIdEnableTray, IsQvTrayRunning() == 1);
    for (int id : kDisabledAtStart) view.EnableControl(id, false);
    QvTrace(u"<--OnInitDialog:");
    return 1;
}

}  // namespace qv::cfg
