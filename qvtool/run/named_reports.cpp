#include "named_reports.h"

#include "qv/qvtool/chip/cim_reports.h"
#include "qv/qvtool/connection/connection_state.h"
#include "qv/qvtool/reports/statistics_reports.h"
#include "qv/qvtool/text_match.h"

namespace qv::qvtool {
namespace {

constexpr NamedReport kUnitReports[] = {
    {"sge", RunPipelineCountersReport},
    {"cim_pipeline", ReportCimPipeline},
    {"cim_genread", ReportCimGenRead},
    {"cim_ioqs", ReportCimQueues},
    {"phy", RunPortLinkReport},
    {"mac", RunMacReport},
    {"qs", RunQsetReport},
    {"ip", RunIpReport},
    {"tcp", RunTcpReport},
    {"intr", RunInterruptReport},
    {"toe", RunOffloadReport},
    {"wtf", RunPipelineDiagramReport},
};

constexpr NamedReport kStateReports[] = {
    {"tcb", TcbReport},   {"wrc", WrcReport}, {"tp", TpReport}, {"chim", RunConnectionReport},
    {"stag", StagReport},
};

}  // namespace

std::span<const NamedReport> UnitReports() {
    return kUnitReports;
}

std::span<const NamedReport> StateReports() {
    return kStateReports;
}

bool RunNamedReport(std::span<const NamedReport> reports, const ReportRequest& request) {
    for (const NamedReport& report : reports) {
        if (!StartsWithIgnoreCase(request.name, report.name)) continue;
        // A report that is not built yet selects its name but prints nothing.
        if (report.report != nullptr) report.report(request);
        return true;
    }
    return false;
}

}  // namespace qv::qvtool
