// qvtool's firmware text reader, fed arbitrary bytes as the file. It must never crash, overrun or
// hang, and an image it accepts must keep the firmware's limit and sum, hold at least two words and
// come from lines of at most 15 characters each.
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
    if (image.length > qv::qvtool::kMaxFirmwareBytes || image.length < 8 || image.length % 4 != 0 ||
        image.words.size() * 4 != image.length) {
        std::abort();
    }
    uint32_t sum = 0;
    for (const uint32_t w : image.words) sum += w;
    if (sum != 0xFFFFFFFFu) std::abort();
    // Each word came from a line of its own that fits the reader, its line end not counted.
    size_t start = 0;
    for (size_t n = 0; n < image.words.size(); ++n) {
        size_t end = start;
        while (end < size && data[end] != '\n') ++end;
        size_t length = end - start;
        if (length > 0 && data[end - 1] == '\r') --length;
        if (length > 15) std::abort();
        start = end + 1;
    }
    return 0;
}
