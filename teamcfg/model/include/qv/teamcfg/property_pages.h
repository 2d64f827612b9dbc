// The pages of the property sheet (property_sheet.h) and the Add Vlan dialog: each a dialog
// procedure (DialogClient) over the program's state. The sheet's entry is AppState's selection.
#pragma once

#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/shell.h"

namespace qv::cfg {

// The entry the sheet shows: the selected unassigned adapter, else the selected team adapter; null
// when the selection names no entry. *isTeam tells which.
const AdapterEntry* SelectedEntry(const AppState& state, bool* isTeam);

// General page (template 1101): identity, link, driver and offload facts, rebuilt on every
// activation.
int OnInitPropertiesDialog(AppState& state, Shell& shell, DialogView& view);
class GeneralPage final : public DialogClient {
  public:
    GeneralPage(AppState& state, Shell& shell) : state_(state), shell_(shell) {}
    int OnInitDialog(DialogView& view) override { return OnInitPropertiesDialog(state_, shell_, view); }
    void OnSetActive(DialogView& view) override { OnInitPropertiesDialog(state_, shell_, view); }

  private:
    AppState& state_;
    Shell& shell_;
};

// Statistics page (template 1102): the 21 counters relative to the program's baseline.
int OnInitStatisticsDialog(AppState& state, Shell& shell, DialogView& view);
class StatisticsPage final : public DialogClient {
  public:
    StatisticsPage(AppState& state, Shell& shell) : state_(state), shell_(shell) {}
    int OnInitDialog(DialogView& view) override { return OnInitStatisticsDialog(state_, shell_, view); }
    // Refresh reads the counters again; Reset makes the last values the baseline, then refreshes.
    void OnCommand(DialogView& view, int controlId, int code) override;

  private:
    AppState& state_;
    Shell& shell_;
};

// Team properties page (template 1103): the selected team's mode, method and members in
// preference order; it changes nothing.
int OnInitTeamPropertiesDialog(AppState& state, DialogView& view);
// Lists team's members in list box listId at their Order positions ("dummy" for a member whose
// device is not present) and stores the names found in team.memberNames. 1, or 0 when the device
// list cannot be had.
int PopulateAdaptersInTeam(DialogView& view, TeamInfo& team, int listId);
class TeamPropertiesPage final : public DialogClient {
  public:
    explicit TeamPropertiesPage(AppState& state) : state_(state) {}
    int OnInitDialog(DialogView& view) override {
        OnInitTeamPropertiesDialog(state_, view);
        return 1;
    }

  private:
    AppState& state_;
};

// VLAN page (template 101): the VLAN adapters over the selected entry (state.vlans), added
// through the Add Vlan dialog and removed by their check boxes.
int OnInitVlansDialog(AppState& state, Shell& shell, DialogView& view);
class VlanPage final : public DialogClient {
  public:
    VlanPage(AppState& state, Shell& shell) : state_(state), shell_(shell) {}
    int OnInitDialog(DialogView& view) override { return OnInitVlansDialog(state_, shell_, view); }
    void OnCommand(DialogView& view, int controlId, int code) override;

  private:
    void AddVlan(DialogView& view);
    void RemoveVlans(DialogView& view);
    AppState& state_;
    Shell& shell_;
};

// Add Vlan dialog (template 102): checks the id and name the user gives and appends them to vlans
// (ending with kIdOk) for the page to create.
class AddVlanDialog final : public DialogClient {
  public:
    AddVlanDialog(VlanList& vlans, Shell& shell) : vlans_(vlans), shell_(shell) {}
    int OnInitDialog(DialogView& view) override;
    void OnCommand(DialogView& view, int controlId, int code) override;

  private:
    void Accept(DialogView& view);
    VlanList& vlans_;
    Shell& shell_;
};

}  // namespace qv::cfg
