// qvtool's firmware text reader, fed arbitrary bytes as the file. It must never crash, overrun or
// hang, and an image it accepts must keep the firmware's limit and sum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "qv/qvtool/storage/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::ImageRead read = qv::qvtool::ReadFirmwareText(data, size);
    if (!read.ok) {
        if (read.message.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    const auto& image = read.image;
    if (image.length > qv::qvtool::kMaxFirmwareBytes || image.length % 4 != 0 ||
        image.words.size() * 4 != image.length) {
        std::abort();
    }
    uint32_t sum = 0;
    for (const uint32_t w : image.words) sum += w;
    if (sum != 0xFFFFFFFFu) std::abort();
    return 0;
}
