// The Statistics page: the adapter's 21 NDIS counters, shown relative to the program's baseline.
#include <algorithm>

#include "qv/teamcfg/device_queries.h"
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/text.h"

namespace qv::cfg {
namespace {

void AddRow(DialogView& view, const char16_t* name, std::u16string_view value) {
    const int index = view.GetItemCount(kIdStatisticsList);
    view.InsertItem(kIdStatisticsList, index, name);
    view.SetItemText(kIdStatisticsList, index, 1, value);
}

void AddCounters(DialogView& view, const AppState& state, int first, int end) {
    for (int row = first; row < end; ++row) {
        // Unsigned difference: after a reset on another adapter the values wrap, as they always have.
        const uint64_t value = state.statisticsLast[row] - state.statisticsBaseline[row];
        AddRow(view, kStatisticsTable[row].name, U16Format(u"%I64u", value));
    }
}

}  // namespace

int OnInitStatisticsDialog(AppState& state, Shell& shell, DialogView& view) {
    if (!view.CreateListView(kIdStatisticsList, {14, 15, 355, 250}, u"Statistics")) {
        shell.MessageBox(u"Cannot Create Control", u"", kMbOk);
        return 0;
    }
    view.SetListViewStyle(kIdStatisticsList, {.checkBoxes = false, .gridLines = true, .fullRowSelect = false});
    view.InsertColumn(kIdStatisticsList, 0, u"Name", 200);
    view.InsertColumn(kIdStatisticsList, 1, u"Value", 130);
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state, &isTeam);
    if (entry == nullptr) return 0;
    const ScopedDevice device = OpenAdapterDevice(entry->guid);
    if (!device) return 0;
    GetDeviceStatistics(device.get(), state.statisticsLast);
    AddRow(view, u"General Statistics", u" ");
    AddCounters(view, state, 0, kGeneralStatisticsRows);
    AddRow(view, u"", u" ");
    AddRow(view, u"Ethernet Statistics", u" ");
    AddCounters(view, state, kGeneralStatisticsRows, kStatisticsRows);
    return 1;
}

void StatisticsPage::OnCommand(DialogView& view, int controlId, int code) {
    if (code != kBnClicked || (controlId != kIdRefresh && controlId != kIdReset)) return;
    if (controlId == kIdReset)
        std::copy(std::begin(state_.statisticsLast), std::end(state_.statisticsLast),
                  std::begin(state_.statisticsBaseline));
    view.DestroyControl(kIdStatisticsList);
    OnInitStatisticsDialog(state_, shell_, view);
}

}  // namespace qv::cfg
