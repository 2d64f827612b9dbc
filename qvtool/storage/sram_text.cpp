// Byte values as text, one byte each as "%02x\n" writes them: the protocol SRAM configuration and
// the files of the EEPROM sections. A value never spills into its neighbours: one of more than two
// digits, or with anything but white space after it, refuses the file instead of being split.
#include <cctype>

#include "hex_digit.h"
#include "messages.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {

ByteValues ReadByteValues(const uint8_t* data, size_t size, size_t count) {
    ByteValues read;
    read.values.reserve(count);
    size_t line = 1;
    for (size_t pos = 0;;) {
        for (; pos < size && std::isspace(data[pos]); ++pos) {
            if (data[pos] == '\n') ++line;
        }
        // Text that is no value ends the values, as it ends "%02x".
        if (pos >= size || HexDigit(data[pos]) < 0) return read;
        read.line = line;
        if (read.values.size() == count) {
            read.fault = ByteValuesFault::kTooMany;
            return read;
        }
        int value = HexDigit(data[pos++]);
        if (pos < size && HexDigit(data[pos]) >= 0) value = value * 16 + HexDigit(data[pos++]);
        if (pos < size && !std::isspace(data[pos])) {
            read.fault = ByteValuesFault::kNotAByte;
            return read;
        }
        read.values.push_back(static_cast<uint8_t>(value));
    }
}

ImageRead ReadSramText(const uint8_t* data, size_t size) {
    const ByteValues values = ReadByteValues(data, size, kSramConfigBytes);
    ImageRead read;
    switch (values.fault) {
        case ByteValuesFault::kNotAByte:
            AppendFormat(&read.message, "\nImage file line %u holds a value that is not one byte!!!!\n",
                         static_cast<unsigned>(values.line));
            return read;
        case ByteValuesFault::kTooMany:
            AppendFormat(&read.message, "\nImage file holds more than %u values!!!!\n", kSramConfigBytes);
            return read;
        case ByteValuesFault::kNone:
            break;
    }
    // Fewer values refuse the file without a message.
    if (values.values.size() != kSramConfigBytes) return read;
    read.ok = true;
    read.image = ImageFromBytes(values.values.data(), values.values.size());
    return read;
}

}  // namespace qv::qvtool
