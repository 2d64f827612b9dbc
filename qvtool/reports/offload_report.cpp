// -u toe: the offload engine's connection-table counters, the chip's count of connections in use,
// then the counters of each function of each port (function 16 and register 0x734).
#include <algorithm>

#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kRegisterTidCount = 0x734;
constexpr uint32_t kTidCountMask = 0xFFFFF;  // low 20 bits
// The lines before "hard tid_cnt": offsets 0 to 28.
constexpr size_t kLinesBeforeHardCount = 8;

}  // namespace

void PrintOffloadStats(std::FILE* out, uint32_t hardTidCount, const OffloadStatsRecord& record) {
    const std::span<const uint8_t> bytes = RecordBytes(record);
    const std::span<const CounterLine> lines = OffloadCounterLines();
    PrintCounterLines(out, bytes, lines.first(kLinesBeforeHardCount));
    std::fprintf(out, "hard tid_cnt : \t\t\t%u\n", hardTidCount & kTidCountMask);
    PrintCounterLines(out, bytes, lines.subspan(kLinesBeforeHardCount));
    // The counts come from the driver: never more than the record has room for.
    const uint32_t ports = std::min(record.portCount, kToeMaxPorts);
    for (uint32_t i = 0; i < ports; ++i) {
        const uint32_t functions = std::min(record.functionCount[i], kToeMaxFunctions);
        if (functions == 0) continue;
        std::fprintf(out, "Port : \t\t%d\n", static_cast<int32_t>(record.portId[i]));
        for (uint32_t f = 0; f < functions; ++f) {
            std::fprintf(out, "Func : \t\t%d\n", static_cast<int32_t>(f));
            for (const CounterLine& array : OffloadFunctionLines()) {
                const CounterLine element{array.label, static_cast<uint16_t>(array.offset + 12 * i + 4 * f),
                                          array.format};
                PrintCounterLines(out, bytes, {&element, 1});
            }
        }
    }
}

void RunOffloadReport(const ReportRequest& request) {
    uint32_t hardTidCount = 0;
    if (RegisterRead(request.device, kRegisterTidCount, &hardTidCount) != kStatusSuccess) {
        std::fprintf(request.out, "Toe statistics read error. status = 0x%08x\n", kStatusFailure);
        return;
    }
    OffloadStatsRecord record{};
    if (!RequestRecord(request.device, IoFunction::kOffloadStats, &record)) {
        std::fprintf(request.out, "Toe statistics read error. status = 0x%08x\n", 0);
        return;
    }
    PrintOffloadStats(request.out, hardTidCount, record);
}

}  // namespace qv::qvtool
