// -o: the driver hands out its trace in successive buffers until it returns none.
#include <array>

#include "qv/qvtool/adapter_info/adapter_info_commands.h"
#include "qv/qvtool/adapter_info/info_records.h"
#include "qv/qvtool/adapter_info/trace_buffer.h"
#include "qv/qvtool/storage/output_file.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {

void RunTraceDump(const TraceRequest& request, HDevice device, std::FILE* out) {
    std::FILE* target = out;
    if (!request.file.empty()) {
        target = OpenOutputFile(request.file.c_str(), "w");
        if (target == nullptr) {
            std::fprintf(out, "Unable to open trace output file %s\n", request.file.c_str());
            return;
        }
    }
    std::array<uint8_t, kTraceBufferBytes> buffer;
    uint32_t buffers = 0;
    for (; buffers < kMaxTraceBuffers; ++buffers) {
        buffer.fill(0);
        uint32_t returned = 0;
        if (!SendRequest(device, IoFunction::kTraceBuffer, buffer.data(), kTraceBufferBytes, buffer.data(),
                         kTraceBufferBytes, &returned) ||
            returned == 0) {
            break;
        }
        // Only the bytes the driver says it returned are its answer.
        const size_t answered = returned < kTraceBufferBytes ? returned : kTraceBufferBytes;
        PrintTraceEntries(ParseTraceBuffer(std::span(buffer).first(answered)), target);
    }
    if (buffers == kMaxTraceBuffers) {
        std::fprintf(out, "Trace dump stopped after %u buffers: the driver did not run out\n",
                     kMaxTraceBuffers);
    }
    if (target != out) std::fclose(target);
}

}  // namespace qv::qvtool
