#include "qv/qvtool/eeprom/sections.h"

#include <string>

#include "qv/qvtool/text_match.h"

namespace qv::qvtool {
namespace {

constexpr EepromSection kSections[] = {
    {"vpd", 3, 0x0000, 4096, DumpStyle::kAnnotated, false},
    {"psram", 5, 0x1000, 2112, DumpStyle::kValues, true},
    {"scfg", 4, 0x1940, 98, DumpStyle::kValues, true},
};

}  // namespace

std::span<const EepromSection> EepromSections() {
    return kSections;
}

const EepromSection* FindEepromSection(const char* argument) {
    for (const EepromSection& section : kSections) {
        if (StartsWithIgnoreCase(argument, std::string(section.name, section.compareLength).c_str())) {
            return &section;
        }
    }
    return nullptr;
}

}  // namespace qv::qvtool
