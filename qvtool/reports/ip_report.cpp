// -u ip: the IP counters (function 14).
#include "qv/qvtool/reports/statistics_reports.h"
#include "table_report.h"

namespace qv::qvtool {

void RunIpReport(const ReportRequest& request) {
    RunTableReport<IpStatsRecord>(request, IoFunction::kIpStats, IpCounterLines(),
                                  "ip mib stats read error. status = 0x%08x\n");
}

}  // namespace qv::qvtool
