#include "qv/qvtool/chip/descriptors.h"

#include <cinttypes>
#include <cstring>

#include "qv/qvtool/number_text.h"
#include "qv/qvtool/text_match.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

// The queue kinds of a queue set, in their number order.
constexpr const char* kQueueKinds[kQueueKindsPerQset] = {"tun", "toe", "ctrl", "rspq", "flq1", "flq2"};

constexpr size_t kWordBytes = 8;
constexpr size_t kLineBytes = 32;  // four words a line

uint64_t BigEndian64(const uint8_t* p) {
    uint64_t v = 0;
    for (size_t i = 0; i < kWordBytes; ++i) v = v << 8 | p[i];
    return v;
}

const char* Flag(uint64_t header, int bit, const char* text) {
    return ((header >> bit) & 1u) != 0 ? text : "";
}

}  // namespace

void PrintDescriptor(uint32_t index, const DescriptorRecord& record, std::FILE* out) {
    const uint64_t h = BigEndian64(record.data);
    std::fprintf(out, "Descriptor %u: cmd %u, TID %u, %s%s%s%s%u flits\n", index,
                 static_cast<unsigned>(h >> 56), static_cast<unsigned>((h >> 8) & 0xFFFFF),
                 Flag(h, 55, "SOP, "), Flag(h, 54, "EOP, "), Flag(h, 53, "COMPL, "), Flag(h, 52, "SGL, "),
                 static_cast<unsigned>(h & 0xFF));
    // The length is the driver's word: only whole words within the data are printed.
    const size_t length = record.length < kDescriptorDataBytes ? record.length : kDescriptorDataBytes;
    const size_t words = length / kWordBytes;
    for (size_t w = 0; w < words; ++w) {
        const size_t left = (words - w) * kWordBytes;  // this word included
        std::fprintf(out, "%016" PRIX64 "%c", BigEndian64(record.data + w * kWordBytes),
                     left % kLineBytes == kWordBytes ? '\n' : ' ');
    }
}

void RunDescriptorDump(const DescriptorRequest& request, HDevice device, std::FILE* out) {
    if (request.count < 1) return;
    uint32_t kind = 0;
    while (kind < kQueueKindsPerQset && !StartsWithIgnoreCase(request.queue.c_str(), kQueueKinds[kind]))
        ++kind;
    if (kind == kQueueKindsPerQset) return;
    const int32_t qset = ReadDecimalOrZero(request.queue.c_str() + std::strlen(kQueueKinds[kind]));
    const uint32_t queue = static_cast<uint32_t>(qset) * kQueueKindsPerQset + kind;
    for (int32_t n = 0; n < request.count; ++n) {
        DescriptorRecord record{};
        record.queue = queue;
        const uint32_t index = static_cast<uint32_t>(request.start) + static_cast<uint32_t>(n);
        record.index = index;
        if (!SendRequest(device, IoFunction::kDescriptorRead, &record, sizeof record, &record,
                         sizeof record)) {
            std::fprintf(out, "SGE descriptor qset %d qnum %d read error. status = 0x%08x\n", qset,
                         static_cast<int>(kind), 0);
            return;
        }
        PrintDescriptor(index, record, out);
    }
}

}  // namespace qv::qvtool
