// -u qs<n>: the state and counters of each queue of a queue set (function 12).
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"
#include "table_report.h"

namespace qv::qvtool {

void PrintQsetStats(std::FILE* out, int qset, const QsetStatsRecord& record) {
    std::fprintf(out, "qset : \t\t\t%u\n", static_cast<unsigned>(qset));
    PrintCounterLines(out, RecordBytes(record), QsetCounterLines());
}

void RunQsetReport(const ReportRequest& request) {
    RunNumberedReport(
        request, "qs", &QsetStatsRecord::qset, IoFunction::kQsetStats,
        "Queue set %d statistics read error. status = 0x%08x\n",
        [&](int qset, const QsetStatsRecord& record) { PrintQsetStats(request.out, qset, record); });
}

}  // namespace qv::qvtool
