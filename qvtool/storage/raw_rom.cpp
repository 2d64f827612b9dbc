// The raw PCI boot image: the file's bytes as stored. It is programmed at the start of the flash,
// so a file that is no PCI expansion ROM (empty, or without the 55 AA signature) is refused.
#include "messages.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {

ImageRead ReadRawRom(const uint8_t* data, size_t size) {
    if (const char* fault = WordFileSizeFault(size, kMaxBootImageBytes)) return Refused(fault);
    if (size == 0) return Refused("\nImage file is empty!!!!\n");
    if (data[0] != 0x55 || data[1] != 0xAA) return Refused(kNotPciMessage);
    ImageRead read;
    read.ok = true;
    read.image = ImageFromBytes(data, size);
    return read;
}

}  // namespace qv::qvtool
