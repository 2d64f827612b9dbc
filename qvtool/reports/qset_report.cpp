// -u qs<n>: the state and counters of each queue of a queue set (function 12).
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {

void PrintQsetStats(std::FILE* out, int qset, const QsetStatsRecord& record) {
    std::fprintf(out, "qset : \t\t\t%u\n", static_cast<unsigned>(qset));
    PrintCounterLines(out, RecordBytes(record), QsetCounterLines());
}

void RunQsetReport(const ReportRequest& request) {
    const int qset = UnitNumber(request, "qs");
    QsetStatsRecord record{};
    record.qset = static_cast<uint32_t>(qset);
    if (!RequestRecord(request.device, IoFunction::kQsetStats, &record)) {
        std::fprintf(request.out, "Queue set %d statistics read error. status = 0x%08x\n", qset, 0);
        return;
    }
    PrintQsetStats(request.out, qset, record);
}

}  // namespace qv::qvtool
