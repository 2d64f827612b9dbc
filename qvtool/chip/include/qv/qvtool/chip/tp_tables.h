// -t: one of the transport processor's configuration tables, fetched with one request each
// (functions 18 to 24) and printed entry by entry.
#pragma once

#include <cstdio>

#include "qv/platform/deviceio.h"

namespace qv::qvtool {

// The name selects a table by prefix, in the order pace, cctrl, tos, mtu, map, lkp, txmod; another
// name prints nothing.
void RunTableDump(const char* name, HDevice device, std::FILE* out);

}  // namespace qv::qvtool
