// qvtool's connection state printers (-s tcb, wrc, stag), fed arbitrary answers: the first bytes
// choose the printer, the index and the length the driver claims to have returned, the rest is the
// answer, of any size. Whatever they are, the printers stay inside their buffers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include "qv/qvtool/connection/connection_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) return 0;
    static std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink == nullptr) return 0;
    const uint8_t which = data[0];
    uint32_t index = 0;
    uint32_t returned = 0;
    for (int i = 0; i < 4; ++i) {
        index |= static_cast<uint32_t>(data[1 + i]) << (8 * i);
        returned |= static_cast<uint32_t>(data[5 + i]) << (8 * i);
    }
    const std::span<const uint8_t> answer(data + 9, size - 9);
    switch (which % 5) {
        case 0:
            qv::qvtool::PrintTcb(index, false, answer, returned, sink);
            break;
        case 1:
            qv::qvtool::PrintTcb(index, true, answer, returned, sink);
            break;
        case 2:
            qv::qvtool::PrintWrc(index, answer, returned, sink);
            break;
        case 3:
            qv::qvtool::PrintStag(index, answer, returned, sink);
            break;
        default: {
            uint64_t value = 0;
            for (size_t i = 0; i < answer.size() && i < 8; ++i) value |= uint64_t{answer[i]} << (8 * i);
            qv::qvtool::PrintTpLaSample(value, (which & 0x80) != 0, sink);
            break;
        }
    }
    return 0;
}
