// Byte values as text, read as "%02x\n" reads them, one byte each: the protocol SRAM configuration
// and the files of the EEPROM sections.
#include <cctype>

#include "hex_digit.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {

std::vector<uint8_t> ReadByteValues(const uint8_t* data, size_t size, size_t count) {
    std::vector<uint8_t> values;
    values.reserve(count);
    size_t pos = 0;
    while (values.size() < count) {
        while (pos < size && std::isspace(data[pos])) ++pos;
        // At most two digits: a value never exceeds its byte.
        if (pos >= size || HexDigit(data[pos]) < 0) break;
        int value = HexDigit(data[pos++]);
        if (pos < size && HexDigit(data[pos]) >= 0) value = value * 16 + HexDigit(data[pos++]);
        values.push_back(static_cast<uint8_t>(value));
    }
    return values;
}

ImageRead ReadSramText(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> values = ReadByteValues(data, size, kSramConfigBytes);
    ImageRead read;
    if (values.size() != kSramConfigBytes) return read;
    read.ok = true;
    read.image = ImageFromBytes(values.data(), values.size());
    return read;
}

}  // namespace qv::qvtool
