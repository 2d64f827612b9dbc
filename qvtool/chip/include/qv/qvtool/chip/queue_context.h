// -q: one queue context of the SGE, read with function 9 and printed as its two raw words and, with
// -f, its fields. The name selects the display: "tun" n, "toe" n, "ctrl" n (egress queues of queue
// set n), "flq" n (the two free lists of queue set n), "rspq" n, or "qp" n (egress context id n).
#pragma once

#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/chip/chip_records.h"

namespace qv::qvtool {

// An unknown name prints nothing.
void RunQueueContext(const char* name, bool expandFields, HDevice device, std::FILE* out);

// The field lines of each kind of context, as -f prints them after the raw words.
void PrintEgressFields(const ContextRecord& context, std::FILE* out);
void PrintFreeListFields(const ContextRecord& context, std::FILE* out);
void PrintResponseFields(const ContextRecord& context, std::FILE* out);

}  // namespace qv::qvtool
