#include <algorithm>

#include "firmware_check.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {

ImageRead ReadFirmwareBinary(const uint8_t* data, size_t size) {
    // Past the limit the words are not needed: the check refuses the image by their count.
    const size_t count = std::min(size / 4, static_cast<size_t>(kMaxFirmwareBytes / 4 + 1));
    std::vector<uint32_t> words(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* b = data + 4 * i;
        words[i] = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]};
    }
    return CheckFirmwareWords(std::move(words));
}

}  // namespace qv::qvtool
