// The Statistics page: the adapter's 21 NDIS counters, shown relative to the program's baseline.
#include <algorithm>

#include "qv/teamcfg/device_queries.h"
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/text.h"
#include "report_list.h"

namespace qv::cfg {
namespace {

void AddCounters(DialogView& view, const AppState& state, int first, int end) {
    for (int row = first; row < end; ++row) {
        // Unsigned difference: the baseline is one for all adapters, so after a reset on another
        // adapter a counter below it wraps.
        const uint64_t value = state.statisticsLast[row] - state.statisticsBaseline[row];
        AddReportRow(view, kIdStatisticsList, kStatisticsTable[row].name, U16Format(u"%I64u", value));
    }
}

}  // namespace

int OnInitStatisticsDialog(AppState& state, Shell& shell, DialogView& view) {
    if (!CreateReportList(view, shell, kIdStatisticsList, {14, 15, 355, 250}, u"Statistics", {u"Name", 200},
                          {u"Value", 130}))
        return 0;
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state, &isTeam);
    if (entry == nullptr) return 0;
    const ScopedDevice device = OpenAdapterDevice(entry->guid);
    if (!device) return 0;
    GetDeviceStatistics(device.get(), state.statisticsLast);
    AddReportRow(view, kIdStatisticsList, u"General Statistics", u" ");
    AddCounters(view, state, 0, kGeneralStatisticsRows);
    AddReportRow(view, kIdStatisticsList, u"", u" ");
    AddReportRow(view, kIdStatisticsList, u"Ethernet Statistics", u" ");
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
