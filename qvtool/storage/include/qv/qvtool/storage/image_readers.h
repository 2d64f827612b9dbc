// The image readers, one per kind of file, over the file's bytes. Each checks the file and either
// returns the image or says why it is refused (the message names the file where path is given).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qv/qvtool/storage/image.h"

namespace qv::qvtool {

// Firmware as text: one hexadecimal word per line, as "%x" reads it, up to the first line that
// holds no number. A line longer than 15 characters (its "\n" or "\r\n" not counted) refuses the
// file, as does a number wider than 32 bits (or with a minus sign). The words must add up to
// 0xFFFFFFFF, be at least two (the version word and the checksum word) and take at most
// kMaxFirmwareBytes.
ImageRead ReadFirmwareText(const uint8_t* data, size_t size);

// Firmware as binary: 32-bit words stored most significant byte first. A size that is not a whole
// number of words refuses the file; otherwise the same checks as the text form.
ImageRead ReadFirmwareBinary(const uint8_t* data, size_t size);

// A raw PCI boot image: the bytes as stored, a whole number of words, at most kMaxBootImageBytes,
// not empty and starting with the 0x55 0xAA signature. No sum.
ImageRead ReadRawRom(const uint8_t* data, size_t size);

// A PCI boot image inside a DOS executable: the load module, with its ROM header rewritten to jump
// to the executable's entry point, padded with zeros to a multiple of 2048 bytes (always at least
// one byte more than the module) and given a checksum byte so that all its bytes add up to 0. The
// padded image, not only the module, must fit kMaxBootImageBytes.
ImageRead ReadExecutableRom(const uint8_t* data, size_t size, const std::string& path);

enum class ByteValuesFault {
    kNone,
    kNotAByte,  // a value of more than two digits, or followed by something other than white space
    kTooMany,   // a value after the first count values
};

struct ByteValues {
    std::vector<uint8_t> values;  // at most count
    ByteValuesFault fault = ByteValuesFault::kNone;
    size_t line = 0;  // with a fault: the line (from 1) of the value at fault
};

// Byte values of one or two hexadecimal digits each, separated by white space, up to the first
// text that does not begin with a hexadecimal digit. A value that is not one byte, or one more than
// count, is a fault; the caller tells a short file by the number of values.
ByteValues ReadByteValues(const uint8_t* data, size_t size, size_t count);

// The protocol SRAM configuration: kSramConfigBytes byte values (ReadByteValues). A value that is
// not one byte, or more values, refuse the file with a message; fewer values refuse it without one.
ImageRead ReadSramText(const uint8_t* data, size_t size);

}  // namespace qv::qvtool
