// The text forms of EEPROM sections: the section file (one byte per line as two hexadecimal
// digits, "%02x\n"), read by -w and written by -e, and the annotated dump of the VPD area. Pure
// functions over bytes, so that the suites and the fuzz target call them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "qv/qvtool/eeprom/sections.h"

namespace qv::qvtool {

struct SectionFileRead {
    std::optional<std::vector<uint8_t>> values;  // exactly section.length bytes, or none
    std::string reason;  // without values: why, naming the line ("...\n"); empty for too few values
};

// The section's bytes from a section file: exactly section.length byte values of one or two
// hexadecimal digits, separated by white space. A value that is not one byte, or more values than
// the section has, refuses the file with a reason; too few values refuse it without one.
SectionFileRead ReadSectionFile(const EepromSection& section, const uint8_t* data, size_t size);

// "%02x\n" for each byte.
std::string FormatSectionValues(std::span<const uint8_t> bytes);
// "\n0x%04X:%02x:" for each byte with its index, followed by the byte as a character when it is an
// ASCII letter or digit; no line end after the last.
std::string FormatVpdDump(std::span<const uint8_t> bytes);
// The dump of a section's bytes in its style.
std::string FormatSectionDump(const EepromSection& section, std::span<const uint8_t> bytes);

}  // namespace qv::qvtool
