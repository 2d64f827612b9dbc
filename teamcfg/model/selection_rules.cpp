// What a click on one of the page's lists enables, checks and unchecks, by the number of items
// checked in that list.
#include <array>
#include <climits>

#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"

namespace qv::cfg {
namespace {

enum Change : unsigned {
    kEnable = 1,
    kDisable = 2,
    kUncheck = 4,
};

// Besides the control changes: show the checked team's mode, uncheck every item of the other list.
enum Extra : unsigned {
    kShowTeamMode = 1,
    kUncheckOtherList = 2,
};

struct ControlChange {
    int id;  // 0 ends the list
    unsigned change;
};

struct SelectionRule {
    int listId;
    int fewest, most;             // checked items in listId
    bool unlessOtherListChecked;  // nothing changes while the other list has a checked item
    std::array<ControlChange, 9> changes;
    unsigned extra;
};

constexpr unsigned kOff = kDisable | kUncheck;

// clang-format off
constexpr SelectionRule kRules[] = {
    {kIdUnassignedList, 1, 1, false,
     {{{kIdMoveUp, kEnable}, {kIdMoveDown, kEnable}, {kIdProperties, kEnable}, {kIdActiveBackup, kOff},
       {kIdTxLoadBalancing, kOff}, {kIdLacp, kOff}, {kIdFailback, kOff}, {kIdCreateTeam, kDisable},
       {kIdRemove, kDisable}}},
     kUncheckOtherList},
    {kIdUnassignedList, 2, 2, false,
     {{{kIdMoveUp, kDisable}, {kIdMoveDown, kDisable}, {kIdActiveBackup, kEnable},
       {kIdTxLoadBalancing, kEnable}, {kIdLacp, kEnable}, {kIdFailback, kEnable}, {kIdCreateTeam, kEnable},
       {kIdProperties, kDisable}}},
     0},
    // More than two: only Tx Load Balancing and LACP stay available.
    {kIdUnassignedList, 3, INT_MAX, false,
     {{{kIdMoveUp, kDisable}, {kIdMoveDown, kDisable}, {kIdActiveBackup, kOff}, {kIdFailback, kOff},
       {kIdProperties, kDisable}}},
     0},
    {kIdUnassignedList, 0, 0, true,
     {{{kIdMoveUp, kDisable}, {kIdMoveDown, kDisable}, {kIdProperties, kDisable}}},
     0},
    {kIdTeamedList, 1, 1, false,
     {{{kIdMoveUp, kDisable}, {kIdMoveDown, kDisable}, {kIdActiveBackup, kOff}, {kIdTxLoadBalancing, kOff},
       {kIdLacp, kOff}, {kIdFailback, kOff}, {kIdCreateTeam, kDisable}, {kIdRemove, kEnable},
       {kIdProperties, kEnable}}},
     kShowTeamMode | kUncheckOtherList},
    // Several teams can be removed at once (Remove stays enabled), not shown.
    {kIdTeamedList, 2, INT_MAX, false,
     {{{kIdMoveUp, kDisable}, {kIdMoveDown, kDisable}, {kIdProperties, kDisable}, {kIdActiveBackup, kUncheck},
       {kIdTxLoadBalancing, kUncheck}, {kIdLacp, kUncheck}, {kIdFailback, kUncheck}}},
     0},
    {kIdTeamedList, 0, 0, true,
     {{{kIdRemove, kDisable}, {kIdProperties, kDisable}, {kIdActiveBackup, kUncheck},
       {kIdTxLoadBalancing, kUncheck}, {kIdLacp, kUncheck}, {kIdFailback, kUncheck}}},
     0},
};
// clang-format on

// The mode boxes show the mode of the first checked team (not enabled: it is only shown).
void ShowTeamMode(const AppState& state, DialogView& view) {
    int32_t team = -1;
    if (GetCheckedItems(view, kIdTeamedList, 1, &team) != 1 || team >= state.page.teams.capacity ||
        team >= kGuiTeamCapacity) {
        return;
    }
    const int32_t mode = state.page.teams.teams[team].TeamMode;
    switch (mode & ~QV_MODE_FAILBACK_FLAG) {
        case QV_MODE_ACTIVE_BACKUP:
            view.SetChecked(kIdActiveBackup, true);
            break;
        case QV_MODE_TLB:
            view.SetChecked(kIdTxLoadBalancing, true);
            break;
        case QV_MODE_LACP:
            view.SetChecked(kIdLacp, true);
            break;
        default:
            break;
    }
    if (mode & QV_MODE_FAILBACK_FLAG) {
        view.SetChecked(kIdActiveBackup, true);
        view.SetChecked(kIdFailback, true);
    }
}

}  // namespace

void ApplySelectionRules(AppState& state, DialogView& view, int listId) {
    const int otherList = listId == kIdUnassignedList ? kIdTeamedList : kIdUnassignedList;
    const int checked = CountCheckedItems(view, listId);
    for (const SelectionRule& rule : kRules) {
        if (rule.listId != listId || checked < rule.fewest || checked > rule.most) continue;
        if (rule.unlessOtherListChecked && CountCheckedItems(view, otherList) > 0) return;
        for (const ControlChange& change : rule.changes) {
            if (change.id == 0) break;
            if (change.change & kEnable) view.EnableControl(change.id, true);
            if (change.change & kDisable) view.EnableControl(change.id, false);
            if (change.change & kUncheck) view.SetChecked(change.id, false);
        }
        if (rule.extra & kShowTeamMode) ShowTeamMode(state, view);
        if (rule.extra & kUncheckOtherList) UncheckAllItems(view, otherList);
        return;
    }
}

}  // namespace qv::cfg
