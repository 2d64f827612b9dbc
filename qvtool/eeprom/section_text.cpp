#include "qv/qvtool/eeprom/section_text.h"

#include <cstdio>

#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {
namespace {

bool LetterOrDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

SectionFileRead ReadSectionFile(const EepromSection& section, const uint8_t* data, size_t size) {
    ByteValues read = ReadByteValues(data, size, section.length);
    SectionFileRead file;
    char reason[128];
    const auto line = static_cast<unsigned>(read.line);
    switch (read.fault) {
        case ByteValuesFault::kNotAByte:
            std::snprintf(reason, sizeof reason, "Line %u holds a value that is not one byte\n", line);
            file.reason = reason;
            return file;
        case ByteValuesFault::kTooMany:
            std::snprintf(reason, sizeof reason, "Line %u holds a value past the %u bytes of section %s\n",
                          line, section.length, section.name);
            file.reason = reason;
            return file;
        case ByteValuesFault::kNone:
            break;
    }
    if (read.values.size() == section.length) file.values = std::move(read.values);
    return file;
}

std::string FormatSectionValues(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    char line[4];
    for (uint8_t b : bytes) {
        std::snprintf(line, sizeof line, "%02x\n", b);
        text += line;
    }
    return text;
}

std::string FormatVpdDump(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 13);
    char entry[32];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(entry, sizeof entry, "\n0x%04X:%02x:", static_cast<unsigned>(i), bytes[i]);
        text += entry;
        if (LetterOrDigit(bytes[i])) text += static_cast<char>(bytes[i]);
    }
    return text;
}

std::string FormatSectionDump(const EepromSection& section, std::span<const uint8_t> bytes) {
    return section.dump == DumpStyle::kAnnotated ? FormatVpdDump(bytes) : FormatSectionValues(bytes);
}

}  // namespace qv::qvtool
