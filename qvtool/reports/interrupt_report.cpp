// -u intr: the driver's interrupt counters, then a block per queue set (function 13).
#include <algorithm>

#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {

void PrintInterruptStats(std::FILE* out, const InterruptStatsRecord& record) {
    const std::span<const uint8_t> bytes = RecordBytes(record);
    PrintCounterLines(out, bytes, IntrCounterLines());
    // The count comes from the driver: never more blocks than the record has room for.
    const uint32_t qsets = std::min(record.qsetCount, kIntrMaxQsets);
    for (uint32_t q = 0; q < qsets; ++q) {
        std::fprintf(out, "qs%u\n", static_cast<uint32_t>(record.qsetId[q]));
        std::fprintf(out, "dpc_cpu : \t\t%u\n", record.dpcCpu[q]);
        for (const CounterLine& array : IntrQsetLines()) {
            const CounterLine element{array.label, static_cast<uint16_t>(array.offset + 8 * q), array.format};
            PrintCounterLines(out, bytes, {&element, 1});
        }
    }
}

void RunInterruptReport(const ReportRequest& request) {
    InterruptStatsRecord record{};
    if (!RequestRecord(request.device, IoFunction::kInterruptStats, &record)) {
        std::fprintf(request.out, "Interrupt stats read error. status = 0x%08x\n", 0);
        return;
    }
    PrintInterruptStats(request.out, record);
}

}  // namespace qv::qvtool
