// qvtool's raw boot-image reader, fed arbitrary bytes as the file: the image is the file's whole
// words as stored, accepted exactly when they fit the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "qv/qvtool/storage/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::ImageRead read = qv::qvtool::ReadRawRom(data, size);
    const size_t whole = size / 4 * 4;
    if (read.ok != (whole <= qv::qvtool::kMaxBootImageBytes)) std::abort();
    if (!read.ok) return 0;
    const auto bytes = qv::qvtool::ImageBytes(read.image);
    if (bytes.size() != whole || (whole != 0 && std::memcmp(bytes.data(), data, whole) != 0)) std::abort();
    return 0;
}
