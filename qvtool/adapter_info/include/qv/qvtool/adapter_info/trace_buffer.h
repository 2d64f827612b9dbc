// The entries of one trace buffer as the bus driver fills it (info_records.h). The buffer is the
// driver's answer, so the walk trusts nothing in it: an entry whose header does not fit, whose
// distance is not larger than its header or would leave the buffer ends the walk, and a message
// without its terminator inside the buffer is cut at the buffer's end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

namespace qv::qvtool {

struct TraceEntry {
    uint32_t number;
    int64_t first;
    int64_t second;
    std::string_view message;  // points into the buffer
};

// The entries of the buffer in order, up to the end mark or the first entry that does not fit.
std::vector<TraceEntry> ParseTraceBuffer(std::span<const uint8_t> buffer);

// Prints one line per entry: "%-2d : %-10I64d : %-8I64d : %s\n".
void PrintTraceEntries(std::span<const TraceEntry> entries, std::FILE* out);

}  // namespace qv::qvtool
