// The VLAN page: lists the VLAN adapters over the selected adapter or team, adds one through the
// Add Vlan dialog and removes the checked ones. Changes reach the system at once.
#include <algorithm>
#include <cstring>
#include <string>

#include "qv/platform/wintypes.h"
#include "qv/teamcfg/device_queries.h"
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::cfg {
namespace {

constexpr size_t kRemoveTextCapacity = 2000;

void InsertVlanRow(DialogView& view, const VlanList& vlans, int index) {
    view.InsertItem(kIdVlanList, index, vlans.names[index]);
    view.SetItemText(kIdVlanList, index, 1, U16Format(u"%d", vlans.ids[index]));
}

// Takes entry index out of the area; the later entries move down so it stays dense.
void DropEntry(VlanList& vlans, int index) {
    for (int i = index; i + 1 < vlans.count; ++i) {
        vlans.ids[i] = vlans.ids[i + 1];
        std::memcpy(vlans.names[i], vlans.names[i + 1], sizeof vlans.names[i]);
        vlans.guids[i] = vlans.guids[i + 1];
        std::memcpy(vlans.connectionNames[i], vlans.connectionNames[i + 1], sizeof vlans.connectionNames[i]);
    }
    --vlans.count;
}

// While an adapter or team carries VLANs its own protocols are unbound and it is hidden; without
// VLANs it is shown and bound again. The library takes it over and gives it back with its record
// first and last, so that QvTeamCmd -d all finds a parent that a cut-short change left behind.
void GiveBack(const Guid& parent, bool isTeam) {
    std::u16string holder;
    if (!GiveBackVlanParent(parent, isTeam, &holder)) QvTrace(u"   VlanPage: parent not bound again");
}

}  // namespace

int OnInitVlansDialog(AppState& state, Shell& shell, DialogView& view) {
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state, &isTeam);
    state.vlans = VlanList{};
    if (entry != nullptr) {
        if (isTeam)
            GetVlanListForTeam(entry->guid, &state.vlans);
        else
            GetVlanListForNic(entry->guid, &state.vlans);
    }
    if (!view.HasControl(kIdVlanList)) {
        shell.MessageBox(u"Could not get handle to list control", u"", kMbOk);
        return 0;
    }
    view.SetListViewStyle(kIdVlanList, {.checkBoxes = true, .gridLines = true, .fullRowSelect = true});
    view.InsertColumn(kIdVlanList, 0, u"Vlan Name", 215);
    view.InsertColumn(kIdVlanList, 1, u"Vlan ID", 75);
    for (int i = 0; i < state.vlans.count && i < kMaxVlans; ++i) InsertVlanRow(view, state.vlans, i);
    if (entry == nullptr || !OpenAdapterDevice(entry->guid)) {
        view.EnableControl(kIdAddVlan, false);
        view.EnableControl(kIdRemoveVlan, false);
    }
    return 1;
}

void VlanPage::OnCommand(DialogView& view, int controlId, int code) {
    if (code != kBnClicked) return;
    if (!IsUserAdmin()) {
        shell_.MessageBox(u"Please login as Administrator to create or remove vlans", u"Error",
                          kMbOk | kMbIconWarning);
        return;
    }
    if (controlId == kIdAddVlan) AddVlan(view);
    if (controlId == kIdRemoveVlan) RemoveVlans(view);
}

void VlanPage::AddVlan(DialogView& view) {
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state_, &isTeam);
    if (entry == nullptr) return;
    VlanList& vlans = state_.vlans;
    AddVlanDialog dialog(vlans, shell_);
    if (shell_.RunModalDialog(kDlgAddVlan, dialog) != kIdOk) return;
    const int index = vlans.count - 1;
    shell_.ShowBusyWindow();
    const bool first = vlans.count == 1;
    std::u16string holder;
    if (first && !TakeOverVlanParent(entry->guid, isTeam, &holder)) {
        DropEntry(vlans, index);
        shell_.MessageBox(
            holder.empty()
                ? std::u16string(u"Failed to add vlan: the protocol bindings could not be disabled.")
                : U16Format(u"Failed to add vlan: the network configuration is locked by %s.",
                            holder.c_str()),
            u"Error", kMbOk | kMbIconWarning);
        shell_.CloseBusyWindow();
        return;
    }
    if (CreateVlanForNic(entry->guid, entry->displayName, vlans.names[index], vlans.ids[index],
                         &vlans.guids[index], isTeam)) {
        InsertVlanRow(view, vlans, index);
    } else {
        const Win32Error error = GetLastError();
        DropEntry(vlans, index);
        // Without a VLAN the adapter must not stay hidden and unbound: it would be cut off.
        if (first) GiveBack(entry->guid, isTeam);
        shell_.MessageBox(U16Format(u"Failed to add vlan. Error=0x%x", error), u"Error",
                          kMbOk | kMbIconWarning);
    }
    shell_.CloseBusyWindow();
}

void VlanPage::RemoveVlans(DialogView& view) {
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state_, &isTeam);
    VlanList& vlans = state_.vlans;
    if (entry == nullptr || vlans.count == 0) return;
    const int rows = std::min<int>(view.GetItemCount(kIdVlanList), vlans.count);
    std::u16string text = u"The following entries will be removed:-\r\n";
    bool anyChecked = false;
    for (int i = 0; i < rows; ++i) {
        if (!view.IsItemChecked(kIdVlanList, i)) continue;
        anyChecked = true;
        text += U16Format(u"%s: %d\r\n", vlans.names[i], vlans.ids[i]);
    }
    if (text.size() > kRemoveTextCapacity) text.resize(kRemoveTextCapacity);
    if (!anyChecked || shell_.MessageBox(text, u"Warning", kMbOkCancel | kMbIconWarning) != kIdOk) return;
    shell_.ShowBusyWindow();
    for (int i = rows - 1; i >= 0; --i) {
        if (!view.IsItemChecked(kIdVlanList, i)) continue;
        // The last VLAN's adapter goes first, then its parent is given back with its records.
        if (vlans.count == 1) {
            if (RemoveVlanDevice(vlans.guids[i]) == kVlanDeviceKept) continue;
            GiveBack(entry->guid, isTeam);
        } else if (RemoveVlanFromNic(entry->guid, vlans.guids[i], isTeam) != 1) {
            continue;
        }
        view.DeleteItem(kIdVlanList, i);
        DropEntry(vlans, i);
    }
    shell_.CloseBusyWindow();
}

}  // namespace qv::cfg
