// The reports that -u and -s select by name: the names in the order they are tried, each matched
// without regard to case over its whole length at the start of the word (so "cim_ioqs" is tried
// before the shorter names and "phy1" selects "phy").
#pragma once

#include <span>

#include "qv/qvtool/report_request.h"

namespace qv::qvtool {

struct NamedReport {
    const char* name;
    ReportFunction report;
};

std::span<const NamedReport> UnitReports();   // -u
std::span<const NamedReport> StateReports();  // -s

// Runs the first report whose name the request's name begins with; a name that matches none
// prints nothing. False when no name matched.
bool RunNamedReport(std::span<const NamedReport> reports, const ReportRequest& request);

}  // namespace qv::qvtool
