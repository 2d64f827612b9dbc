// qvtool's reader of the boot image inside a DOS executable, fed arbitrary bytes as the file. Header
// counts come from the file, so every size they describe must be checked; an image it accepts is a
// PCI expansion ROM in whole 2048-byte blocks, no larger than the boot area, whose bytes add up to 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "qv/qvtool/storage/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::ImageRead read = qv::qvtool::ReadExecutableRom(data, size, "fuzz.img");
    if (!read.ok) {
        if (read.message.empty()) std::abort();
        return 0;
    }
    const auto bytes = qv::qvtool::ImageBytes(read.image);
    if (bytes.size() % 2048 != 0 || bytes.empty() || bytes.size() > qv::qvtool::kMaxBootImageBytes) {
        std::abort();
    }
    if (bytes[0] != 0x55 || bytes[1] != 0xAA || bytes[7] != 0xE9) std::abort();
    uint8_t sum = 0;
    for (const uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    if (sum != 0) std::abort();
    return 0;
}
