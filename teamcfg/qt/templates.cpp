#include "qv/teamcfg/qt/templates.h"

#include "qv/teamcfg/resources.h"

namespace qv::cfg::qt {
namespace {

using K = ControlKind;

// The teaming page: the two adapter lists on the left with the buttons that act on them to the
// right, the team's name and mode below, the status box at the bottom.
constexpr ControlTemplate kTeamingPage[] = {
    {K::kIconListView, kIdUnassignedList, u"", 7, 7, 205, 80},
    {K::kButton, kIdMoveUp, u"Move Up", 219, 7, 74, 14},
    {K::kButton, kIdMoveDown, u"Move Down", 219, 25, 74, 14},
    {K::kButton, kIdProperties, u"Properties", 219, 43, 74, 14},
    {K::kIcon, kIconSheet, u"", 246, 64, 20, 20},
    {K::kIconListView, kIdTeamedList, u"", 7, 93, 205, 56},
    {K::kButton, kIdRemove, u"Remove", 219, 93, 74, 14},
    {K::kLabel, kNoId, u"Team Name :", 7, 158, 50, 8},
    {K::kEdit, kIdTeamName, u"", 60, 156, 100, 12},
    {K::kButton, kIdCreateTeam, u"Create Team", 219, 155, 74, 14},
    {K::kLabel, kNoId, u"Teaming Mode :", 7, 174, 52, 8},
    {K::kCheckBox, kIdLacp, u"802.3ad LACP", 140, 184, 75, 10},
    {K::kCheckBox, kIdTxLoadBalancing, u"Tx Load Balancing", 140, 173, 75, 10},
    {K::kCheckBox, kIdActiveBackup, u"Active Backup", 60, 173, 75, 10},
    {K::kCheckBox, kIdFailback, u"Failback to Active", 70, 184, 70, 10},
    {K::kLabel, kNoId, u"Status :", 7, 200, 40, 8},
    {K::kStatusBox, kIdStatus, u"", 7, 210, 286, 40},
    {K::kCheckBox, kIdEnableTray, u"Enable Tray Icon", 210, 198, 83, 10},
};

// The Statistics page's list view is made at run time above the two buttons.
constexpr ControlTemplate kStatisticsPage[] = {
    {K::kButton, kIdRefresh, u"Refresh", 130, 182, 50, 14},
    {K::kButton, kIdReset, u"Reset", 186, 182, 50, 14},
};

constexpr ControlTemplate kTeamPropertiesPage[] = {
    {K::kLabel, kNoId, u"Teaming Mode:", 14, 17, 62, 8},
    {K::kDropDown, kIdTeamModeList, u"", 80, 15, 156, 14},
    {K::kLabel, kNoId, u"Teaming Method:", 14, 37, 62, 8},
    {K::kDropDown, kIdTeamMethodList, u"", 80, 35, 156, 14},
    {K::kGroupBox, kNoId, u"Preference Order", 14, 57, 222, 138},
    {K::kLabel, kNoId, u"Available Adapters in Team:", 22, 70, 140, 8},
    {K::kListBox, kIdTeamMembersList, u"", 22, 82, 206, 104},
};

constexpr ControlTemplate kWaitDialog[] = {
    {K::kIcon, kIconSheet, u"", 10, 14, 20, 20},
    {K::kLabel, kIdWaitText, u"Please wait while the settings are being applied...", 38, 14, 132, 24},
};

constexpr ControlTemplate kVlanPage[] = {
    {K::kLabel, kNoId, u"List of VLANs:", 14, 10, 100, 8},
    {K::kListView, kIdVlanList, u"", 14, 22, 222, 150},
    {K::kButton, kIdAddVlan, u"Add ...", 124, 180, 54, 14},
    {K::kButton, kIdRemoveVlan, u"Remove", 182, 180, 54, 14},
};

constexpr ControlTemplate kAddVlanDialog[] = {
    {K::kLabel, kNoId, u"Vlan ID:", 14, 16, 44, 8},
    {K::kDigitsEdit, kIdVlanId, u"", 60, 14, 98, 12},
    {K::kLabel, kNoId, u"Vlan Name:", 14, 36, 44, 8},
    {K::kEdit, kIdVlanName, u"", 60, 34, 98, 12},
    {K::kCheckBox, kIdUntaggedVlan, u"Untagged Vlan", 60, 54, 98, 10},
    {K::kDefButton, kIdOk, u"OK", 32, 92, 50, 14},
    {K::kButton, kIdCancel, u"Cancel", 90, 92, 50, 14},
};

constexpr DialogTemplate kTemplates[] = {
    {kDlgTeamingPage, u"", 300, 255, kTeamingPage},
    {kDlgGeneralPage, u"", 250, 209, {}},  // its list view is made at run time
    {kDlgStatisticsPage, u"", 250, 209, kStatisticsPage},
    {kDlgTeamPropertiesPage, u"", 250, 209, kTeamPropertiesPage},
    {kDlgWait, u"Quorvex Configuration Utility", 177, 71, kWaitDialog},
    {kDlgVlanPage, u"VLAN", 250, 209, kVlanPage},
    {kDlgAddVlan, u"Add Vlan", 172, 116, kAddVlanDialog},
};

}  // namespace

const DialogTemplate* FindTemplate(int templateId) {
    for (const DialogTemplate& dialog : kTemplates)
        if (dialog.id == templateId) return &dialog;
    return nullptr;
}

std::span<const DialogTemplate> AllTemplates() {
    return kTemplates;
}

}  // namespace qv::cfg::qt
