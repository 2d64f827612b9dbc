// Image files made in the suites: firmware words with a valid sum, their text and binary forms,
// DOS executables around a boot image, SRAM configuration text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::qvtool::test {

// The words followed by the one word that makes them add up to 0xFFFFFFFF.
std::vector<uint32_t> SummedFirmware(std::vector<uint32_t> words);
// Each word most significant byte first, as binary firmware files store them.
std::string BigEndianFile(const std::vector<uint32_t>& words);
// One word per line, eight upper-case digits.
std::string TextFile(const std::vector<uint32_t>& words);

// A DOS executable whose load module is module, behind a header of headerParagraphs paragraphs
// (at least 2), with the entry at segment:offset written into the ROM header bytes 3 to 6.
std::string Executable(std::vector<uint8_t> module, uint16_t segment, uint16_t offset,
                       uint16_t headerParagraphs = 2);
// A boot image of size bytes: the 0x55 0xAA signature, then a counting pattern.
std::vector<uint8_t> BootModule(size_t size);

// count values of two hexadecimal digits, one per line: the low byte of 3 * i + 1.
std::string SramText(size_t count);

// The bytes of a string and back.
std::vector<uint8_t> Bytes(const std::string& text);

}  // namespace qv::qvtool::test
