// qvtool's protocol SRAM configuration reader, fed arbitrary bytes as the file: it accepts exactly
// 2112 byte values or nothing, and says nothing about a file it accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "qv/qvtool/storage/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::ImageRead read = qv::qvtool::ReadSramText(data, size);
    if (read.ok && !read.message.empty()) std::abort();
    if (read.ok != (read.image.length == qv::qvtool::kSramConfigBytes)) std::abort();
    if (read.ok && read.image.words.size() * 4 != read.image.length) std::abort();
    return 0;
}
