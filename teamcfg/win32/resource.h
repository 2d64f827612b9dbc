// The resource ids of QvTeamCfg.rc as plain numbers, for the resource compiler, which reads C
// preprocessor lines only. They are the numbers of qv/teamcfg/resources.h; win32_dialog_view.cpp
// checks each pair at compile time.
#pragma once

#define IDI_SHEET 102
#define IDI_LIST_ITEM 104

#define IDS_TEAMING_PAGE 400
#define IDS_SHEET_CAPTION 401
#define IDS_STATISTICS 402
#define IDS_PROPERTIES 403
#define IDS_GENERAL 404
#define IDS_VLAN 407

#define IDD_TEAMING_PAGE 1100
#define IDD_GENERAL_PAGE 1101
#define IDD_STATISTICS_PAGE 1102
#define IDD_TEAM_PROPERTIES_PAGE 1103
#define IDD_WAIT 1104
#define IDD_VLAN_PAGE 101
#define IDD_ADD_VLAN 102

#define IDC_CREATE_TEAM 1000
#define IDC_PROPERTIES 1001
#define IDC_UNASSIGNED_LIST 1002
#define IDC_ACTIVE_BACKUP 1003
#define IDC_TEAMED_LIST 1004
#define IDC_REMOVE 1005
#define IDC_TX_LOAD_BALANCING 1006
#define IDC_LACP 1007
#define IDC_TEAM_NAME 1008
#define IDC_STATUS 1009
#define IDC_FAILBACK 1010
#define IDC_ENABLE_TRAY 1011
#define IDC_MOVE_UP 1018
#define IDC_MOVE_DOWN 1019

#define IDC_WAIT_TEXT 1007

#define IDC_REFRESH 1012
#define IDC_RESET 1013
#define IDC_STATISTICS_LIST 1014
#define IDC_TEAM_MODE_LIST 1015
#define IDC_TEAM_METHOD_LIST 1016
#define IDC_TEAM_MEMBERS_LIST 1017

#define IDC_VLAN_LIST 1000
#define IDC_ADD_VLAN 1001
#define IDC_REMOVE_VLAN 1002
#define IDC_VLAN_ID 1003
#define IDC_VLAN_NAME 1004
#define IDC_UNTAGGED_VLAN 1006
