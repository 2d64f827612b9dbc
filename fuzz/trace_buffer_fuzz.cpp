// qvtool's walk over a trace buffer, fed arbitrary bytes as the driver's answer: every entry and
// message it gives lies inside the buffer, each entry at least a header further on, and the lines
// print.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "qv/qvtool/adapter_info/info_records.h"
#include "qv/qvtool/adapter_info/trace_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The tool walks at most one buffer of the driver's size.
    const std::span<const uint8_t> buffer(
        data, size < qv::qvtool::kTraceBufferBytes ? size : qv::qvtool::kTraceBufferBytes);
    const auto entries = qv::qvtool::ParseTraceBuffer(buffer);
    const char* begin = reinterpret_cast<const char*>(buffer.data());
    const char* end = begin + buffer.size();
    const char* previous = nullptr;
    for (const qv::qvtool::TraceEntry& e : entries) {
        const char* text = e.message.data();
        if (text < begin + sizeof(qv::qvtool::TraceEntryHeader) || text + e.message.size() > end)
            std::abort();
        if (previous != nullptr && text < previous + sizeof(qv::qvtool::TraceEntryHeader) + 1) std::abort();
        previous = text;
    }
    if (entries.size() > buffer.size() / (sizeof(qv::qvtool::TraceEntryHeader) + 1)) std::abort();
    static std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink != nullptr) qv::qvtool::PrintTraceEntries(entries, sink);
    return 0;
}
