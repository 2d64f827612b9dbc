#include "firmware_check.h"
#include "messages.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {

ImageRead ReadFirmwareBinary(const uint8_t* data, size_t size) {
    if (const char* fault = WordFileSizeFault(size, kMaxFirmwareBytes)) return Refused(fault);
    std::vector<uint32_t> words(size / 4);
    for (size_t i = 0; i < words.size(); ++i) {
        const uint8_t* b = data + 4 * i;
        words[i] = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]};
    }
    return CheckFirmwareWords(std::move(words));
}

}  // namespace qv::qvtool
