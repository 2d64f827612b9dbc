// The GUI's parsers of a network adapter's offload answers, fed arbitrary bytes: the first byte
// picks the answer (NDIS 5 task offload, NDIS 6 offload, connection offload), the rest is what the
// driver returned. The parsers must stay inside the answer, keep only the documented bits, and the
// page's offload text must follow from any result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "qv/teamcfg/ndis_records.h"
#include "qv/teamcfg/page_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qv::cfg;
    if (size == 0) return 0;
    const std::span<const uint8_t> answer(data + 1, size - 1);
    OffloadAnswers answers;
    switch (data[0] % 3) {
        case 0: {
            answers.ndis5 = ParseTaskOffload5(answer, &answers.caps5);
            const DeviceCaps5& caps = answers.caps5;
            if ((caps.checksum[0] | caps.checksum[1]) > 0x1F || (caps.checksum[2] | caps.checksum[3]) > 0x0F)
                std::abort();
            if (caps.ipsecPresent > 1 || caps.toePresent > 1) std::abort();
            if (!answers.ndis5 && (caps.toePresent || caps.maxOffloadSize || caps.checksum[0])) std::abort();
            break;
        }
        case 1:
            answers.ndis5Error = qv::kErrorNotSupported;
            answers.ndis6 = ParseTaskOffload6(answer, &answers.caps6);
            if (answers.ndis6 && (answer.size() < 2 || answer[0] != 0xA7 || answer[1] != 1)) std::abort();
            break;
        default:
            answers.ndis5Error = qv::kErrorNotSupported;
            answers.ndis6 = true;
            answers.connection = true;
            ParseConnectionOffload(answer, &answers.connectionCaps);
            break;
    }
    if (OffloadText(answers).size() > 32) std::abort();
    return 0;
}
