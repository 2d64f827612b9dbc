// A report that is one request and its record's line table: the lines, or the error line with
// status 0 when the request fails.
#pragma once

#include "qv/qvtool/report_request.h"
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/stats_records.h"

namespace qv::qvtool {

// errorFormat takes the status (always 0) as its one argument.
template <typename Record>
void RunTableReport(const ReportRequest& request, IoFunction function, std::span<const CounterLine> lines,
                    const char* errorFormat) {
    Record record{};
    if (!RequestRecord(request.device, function, &record)) {
        std::fprintf(request.out, errorFormat, 0);
        return;
    }
    PrintCounterLines(request.out, RecordBytes(record), lines);
}

}  // namespace qv::qvtool
