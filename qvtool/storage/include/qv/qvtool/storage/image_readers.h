// The image readers, one per kind of file, over the file's bytes. Each checks the file and either
// returns the image or says why it is refused (the message names the file where path is given).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qv/qvtool/storage/image.h"

namespace qv::qvtool {

// Firmware as text: one hexadecimal word per line, read in pieces of at most 15 characters (a
// longer line gives several pieces), up to the first piece that holds no number. The words must
// add up to 0xFFFFFFFF and take at most kMaxFirmwareBytes; a number wider than 32 bits (or with a
// minus sign) refuses the file.
ImageRead ReadFirmwareText(const uint8_t* data, size_t size);

// Firmware as binary: 32-bit words stored most significant byte first; a trailing piece shorter
// than a word is ignored. Same size and sum checks as the text form.
ImageRead ReadFirmwareBinary(const uint8_t* data, size_t size);

// A raw PCI boot image: the bytes as stored, in whole words, at most kMaxBootImageBytes. No sum.
ImageRead ReadRawRom(const uint8_t* data, size_t size);

// A PCI boot image inside a DOS executable: the load module, with its ROM header rewritten to jump
// to the executable's entry point, padded with zeros to a multiple of 2048 bytes (always at least
// one byte more than the module) and given a checksum byte so that all its bytes add up to 0.
ImageRead ReadExecutableRom(const uint8_t* data, size_t size, const std::string& path);

// Up to count byte values of one or two hexadecimal digits each, separated by white space; the
// reading stops at the first text that is no value. The caller tells a short file by the size.
std::vector<uint8_t> ReadByteValues(const uint8_t* data, size_t size, size_t count);

// The protocol SRAM configuration: kSramConfigBytes values of two hexadecimal digits, separated by
// white space. Any other count refuses the file without a message.
ImageRead ReadSramText(const uint8_t* data, size_t size);

}  // namespace qv::qvtool
