// -u tcp: the TCP counters (function 15).
#include "qv/qvtool/reports/statistics_reports.h"
#include "table_report.h"

namespace qv::qvtool {

void RunTcpReport(const ReportRequest& request) {
    RunTableReport<TcpStatsRecord>(request, IoFunction::kTcpStats, TcpCounterLines(),
                                   "tcp mib stats read error. status = 0x%08x\n");
}

}  // namespace qv::qvtool
