// What a report selected by name (-u unit, -s kind) receives: the open adapter, the name as given on
// the command line (with the number that may follow it, as in "phy1", "qs3" or "chim0"), the index
// word of -s, the -f flag, and where to print.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"

namespace qv::qvtool {

struct ReportRequest {
    HDevice device;
    const char* name;
    uint32_t index;     // -s: the hexadecimal word after the kind; 0 for -u
    bool expandFields;  // -f
    std::FILE* out;
};

using ReportFunction = void (*)(const ReportRequest& request);

}  // namespace qv::qvtool
