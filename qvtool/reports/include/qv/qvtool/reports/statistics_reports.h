// The statistics reports that -u and -s select by name: each sends its request, prints the record
// line by line, or prints its read-error line (status 0) when the request fails. The Print
// functions print a record already read, whatever its bytes hold.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/qvtool/report_request.h"
#include "qv/qvtool/reports/stats_records.h"

namespace qv::qvtool {

void RunPipelineCountersReport(const ReportRequest& request);  // -u sge
void RunPortLinkReport(const ReportRequest& request);          // -u phy<n>
void RunMacReport(const ReportRequest& request);               // -u mac<n>
void RunQsetReport(const ReportRequest& request);              // -u qs<n>
void RunIpReport(const ReportRequest& request);                // -u ip
void RunTcpReport(const ReportRequest& request);               // -u tcp
void RunInterruptReport(const ReportRequest& request);         // -u intr
void RunOffloadReport(const ReportRequest& request);           // -u toe
void RunPipelineDiagramReport(const ReportRequest& request);   // -u wtf
void RunConnectionReport(const ReportRequest& request);        // -s chim<n> <index>

void PrintPortLink(std::FILE* out, const PortLinkRecord& record);
void PrintMacStats(std::FILE* out, int port, const MacStatsRecord& record);
void PrintQsetStats(std::FILE* out, int qset, const QsetStatsRecord& record);
void PrintInterruptStats(std::FILE* out, const InterruptStatsRecord& record);
void PrintOffloadStats(std::FILE* out, uint32_t hardTidCount, const OffloadStatsRecord& record);
void PrintConnection(std::FILE* out, int connection, const ConnectionStatsRecord& record);

// The number after a unit's name, as atoi reads it ("phy1" with name "phy" gives 1, "phy" 0).
int UnitNumber(const ReportRequest& request, const char* name);

}  // namespace qv::qvtool
