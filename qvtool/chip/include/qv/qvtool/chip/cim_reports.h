// The CIM state reports of -u: the logic analyser ("cim_pipeline"), the general-purpose control
// registers ("cim_genread") and the inbound and outbound queues with their contents ("cim_ioqs").
#pragma once

#include "qv/qvtool/report_request.h"

namespace qv::qvtool {

void ReportCimPipeline(const ReportRequest& request);
void ReportCimGenRead(const ReportRequest& request);
void ReportCimQueues(const ReportRequest& request);

}  // namespace qv::qvtool
