#include "messages.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {

ImageRead ReadRawRom(const uint8_t* data, size_t size) {
    ImageRead read;
    const size_t whole = size / 4 * 4;  // a trailing piece shorter than a word is not part of it
    if (whole > kMaxBootImageBytes) {
        read.message = kTooLargeMessage;
        return read;
    }
    read.ok = true;
    read.image = ImageFromBytes(data, whole);
    return read;
}

}  // namespace qv::qvtool
