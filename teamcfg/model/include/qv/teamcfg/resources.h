// The resources of QvTeamCfg that the model and every view share: control ids, dialog template ids,
// the string table and the dialog results. The Win32 view's .rc file and the Qt view build their
// dialogs from these numbers, so a control is found by the same id everywhere.
#pragma once

#include <string_view>

namespace qv::cfg {

// Icons.
constexpr int kIconSheet = 102;
constexpr int kIconListItem = 104;

// String table.
struct StringEntry {
    int id;
    std::u16string_view text;
};
constexpr int kStrTeamingPage = 400;
constexpr int kStrSheetCaption = 401;
constexpr int kStrStatistics = 402;
constexpr int kStrProperties = 403;
constexpr int kStrGeneral = 404;
constexpr int kStrVlan = 407;
inline constexpr StringEntry kStrings[] = {
    {kStrTeamingPage, u"Quorvex Teaming"},
    {kStrSheetCaption, u"Quorvex Configuration Utility"},
    {kStrStatistics, u"Statistics"},
    {kStrProperties, u"Properties"},
    {kStrGeneral, u"General"},
    {kStrVlan, u"VLAN"},
};
// The text of a string id; empty for an unknown id.
constexpr std::u16string_view LoadString(int id) {
    for (const StringEntry& entry : kStrings)
        if (entry.id == id) return entry.text;
    return {};
}

// Dialog templates.
constexpr int kDlgTeamingPage = 1100;
constexpr int kDlgGeneralPage = 1101;
constexpr int kDlgStatisticsPage = 1102;
constexpr int kDlgTeamPropertiesPage = 1103;
constexpr int kDlgWait = 1104;
constexpr int kDlgVlanPage = 101;
constexpr int kDlgAddVlan = 102;

// Controls of the teaming page (dialog 1100).
constexpr int kIdCreateTeam = 1000;
constexpr int kIdProperties = 1001;
constexpr int kIdUnassignedList = 1002;
constexpr int kIdActiveBackup = 1003;
constexpr int kIdTeamedList = 1004;
constexpr int kIdRemove = 1005;
constexpr int kIdTxLoadBalancing = 1006;
constexpr int kIdLacp = 1007;
constexpr int kIdTeamName = 1008;
constexpr int kIdStatus = 1009;
constexpr int kIdFailback = 1010;
constexpr int kIdEnableTray = 1011;
constexpr int kIdMoveUp = 1018;
constexpr int kIdMoveDown = 1019;

// Wait dialog (1104).
constexpr int kIdWaitText = 1007;

// Statistics page (1102), team properties page (1103).
constexpr int kIdRefresh = 1012;
constexpr int kIdReset = 1013;
constexpr int kIdStatisticsList = 1014;
constexpr int kIdTeamModeList = 1015;
constexpr int kIdTeamMethodList = 1016;
constexpr int kIdTeamMembersList = 1017;
// The General page creates its list view at run time; this is its id.
constexpr int kIdGeneralList = 1020;

// VLAN page (101) and Add Vlan dialog (102).
constexpr int kIdVlanList = 1000;
constexpr int kIdAddVlan = 1001;
constexpr int kIdRemoveVlan = 1002;
constexpr int kIdVlanId = 1003;
constexpr int kIdVlanName = 1004;
constexpr int kIdUntaggedVlan = 1006;

// Dialog results and the buttons that give them (IDOK, IDCANCEL).
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// Message box styles (MB_*), as the Win32 view passes them on.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbIconWarning = 0x30;

// The completion message the worker posts to the wait dialog (WM_USER + 500).
constexpr unsigned kWmRequestDone = 0x0400 + 500;

}  // namespace qv::cfg
