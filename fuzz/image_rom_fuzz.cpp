// qvtool's raw boot-image reader, fed arbitrary bytes as the file: the image is the file as stored,
// accepted exactly when it is whole words, not empty, within the limit and starts with 55 AA.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "qv/qvtool/storage/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::ImageRead read = qv::qvtool::ReadRawRom(data, size);
    const bool fits = size != 0 && size % 4 == 0 && size <= qv::qvtool::kMaxBootImageBytes &&
                      data[0] == 0x55 && data[1] == 0xAA;
    if (read.ok != fits || read.ok == !read.message.empty()) std::abort();
    if (!read.ok) return 0;
    const auto bytes = qv::qvtool::ImageBytes(read.image);
    if (bytes.size() != size || std::memcmp(bytes.data(), data, size) != 0) std::abort();
    return 0;
}
