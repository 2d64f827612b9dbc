// The bus driver's answers to the version (26), trace-buffer (28), queue-set parameter (29) and
// port identification (31) functions.
#pragma once

#include "request_record.h"

namespace qv::sim::n5 {

int32_t VersionInfo(Adapter& a, const Request& r);
int32_t TraceBuffer(Adapter& a, const Request& r);
int32_t QsetParam(Adapter& a, const Request& r);
int32_t PortIdentify(Adapter& a, const Request& r);

}  // namespace qv::sim::n5
