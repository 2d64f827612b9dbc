// -u mac<n>: a port's MAC address and its 44 MAC counters (function 11).
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"
#include "table_report.h"

namespace qv::qvtool {

void PrintMacStats(std::FILE* out, int port, const MacStatsRecord& record) {
    const uint8_t* a = record.address;
    std::fprintf(out, "mac%d : %02x:%02x:%02x:%02x:%02x:%02x\n", port, a[0], a[1], a[2], a[3], a[4], a[5]);
    PrintCounterLines(out, RecordBytes(record), MacCounterLines());
}

void RunMacReport(const ReportRequest& request) {
    RunNumberedReport(
        request, "mac", &MacStatsRecord::port, IoFunction::kMacStats,
        "Mac %d stats read error. status = 0x%08x\n",
        [&](int port, const MacStatsRecord& record) { PrintMacStats(request.out, port, record); });
}

}  // namespace qv::qvtool
