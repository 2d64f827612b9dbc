// The shapes of the reports that are one request: the record printed, or the report's error line
// with status 0 when the request fails.
#pragma once

#include "qv/qvtool/report_request.h"
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"
#include "qv/qvtool/reports/stats_records.h"

namespace qv::qvtool {

// A record printed by its line table. errorFormat takes the status (always 0) as its one argument.
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

// A report on one instance (port, queue set): the number after the unit's name goes into the
// record's number field; print(number, record) on success, else the error line with the number and
// status 0.
template <typename Record, typename Print>
void RunNumberedReport(const ReportRequest& request, const char* name, uint32_t Record::*numberField,
                       IoFunction function, const char* errorFormat, Print print) {
    const int number = UnitNumber(request, name);
    Record record{};
    record.*numberField = static_cast<uint32_t>(number);
    if (!RequestRecord(request.device, function, &record)) {
        std::fprintf(request.out, errorFormat, number, 0);
        return;
    }
    print(number, record);
}

}  // namespace qv::qvtool
