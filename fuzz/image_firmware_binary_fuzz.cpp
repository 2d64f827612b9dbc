// qvtool's firmware binary reader, fed arbitrary bytes as the file. An image it accepts must be the
// whole file as words, most significant byte first, at least two of them, within the limit and with
// the firmware's sum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "qv/qvtool/storage/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::ImageRead read = qv::qvtool::ReadFirmwareBinary(data, size);
    if (!read.ok) {
        if (read.message.empty()) std::abort();
        return 0;
    }
    const auto& image = read.image;
    if (image.length != size || image.length < 8 || image.length > qv::qvtool::kMaxFirmwareBytes)
        std::abort();
    uint32_t sum = 0;
    for (size_t i = 0; i < image.length / 4; ++i) {
        const uint8_t* b = data + 4 * i;
        const uint32_t word = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
        if (image.words[i] != word) std::abort();
        sum += word;
    }
    if (sum != 0xFFFFFFFFu) std::abort();
    return 0;
}
