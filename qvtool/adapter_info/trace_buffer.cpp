#include "qv/qvtool/adapter_info/trace_buffer.h"

#include <cinttypes>
#include <cstring>

#include "qv/qvtool/adapter_info/info_records.h"

namespace qv::qvtool {

std::vector<TraceEntry> ParseTraceBuffer(std::span<const uint8_t> buffer) {
    std::vector<TraceEntry> entries;
    const size_t size = buffer.size();
    size_t at = 0;
    while (size - at >= sizeof(uint64_t)) {
        uint64_t distance = 0;
        std::memcpy(&distance, buffer.data() + at, sizeof distance);
        if (distance == 0) break;
        // Each step moves past a whole header, so the walk ends within size / 32 entries.
        if (distance <= sizeof(TraceEntryHeader) || distance > size - at) break;
        TraceEntryHeader header;
        std::memcpy(&header, buffer.data() + at, sizeof header);
        const char* text = reinterpret_cast<const char*>(buffer.data() + at + sizeof header);
        const size_t room = size - at - sizeof header;
        entries.push_back({header.number, header.first, header.second, {text, strnlen(text, room)}});
        at += static_cast<size_t>(distance);
    }
    return entries;
}

void PrintTraceEntries(std::span<const TraceEntry> entries, std::FILE* out) {
    for (const TraceEntry& e : entries) {
        std::fprintf(out, "%-2d : %-10" PRId64 " : %-8" PRId64 " : %.*s\n", static_cast<int>(e.number),
                     e.first, e.second, static_cast<int>(e.message.size()), e.message.data());
    }
}

}  // namespace qv::qvtool
