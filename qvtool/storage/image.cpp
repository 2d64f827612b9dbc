#include "qv/qvtool/storage/image.h"

#include <cstring>

namespace qv::qvtool {

std::vector<uint8_t> ImageBytes(const Image& image) {
    std::vector<uint8_t> bytes(image.length);
    if (image.length != 0) std::memcpy(bytes.data(), image.words.data(), image.length);
    return bytes;
}

std::vector<uint8_t> FirmwareFileBytes(std::span<const uint32_t> words) {
    std::vector<uint8_t> bytes;
    bytes.reserve(4 * words.size());
    for (const uint32_t w : words) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(w >> shift));
    }
    return bytes;
}

Image ImageFromBytes(const uint8_t* data, size_t size) {
    Image image;
    image.words.assign((size + 3) / 4, 0);
    if (size != 0) std::memcpy(image.words.data(), data, size);
    image.length = static_cast<uint32_t>(size);
    return image;
}

}  // namespace qv::qvtool
