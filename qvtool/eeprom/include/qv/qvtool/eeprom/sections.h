// The named sections of the adapter's EEPROM, as data, and the protection word that is cleared
// around every section write. Addresses are byte addresses of the VPD address space.
#pragma once

#include <cstdint>
#include <span>

namespace qv::qvtool {

enum class DumpStyle {
    kAnnotated,  // "\n0x%04X:%02x:" per byte, then the byte itself when it is a letter or digit
    kValues,     // "%02x\n" per byte: the section file format
};

struct EepromSection {
    const char* name;
    uint32_t compareLength;  // characters of the name that an argument must begin with (any case)
    uint32_t start;          // a multiple of 4
    uint32_t length;         // bytes
    DumpStyle dump;
    bool writable;
};

constexpr uint32_t kEepromBytes = 0x8000;  // what the capability's 15-bit addresses reach
constexpr uint32_t kEepromProtectionWord = 0x4000;
constexpr uint32_t kEepromProtectionOff = 0x00000000;
constexpr uint32_t kEepromProtectionOn = 0x0000000C;

std::span<const EepromSection> EepromSections();
// The first section, in table order, whose name the argument begins with over the section's
// compare length, without regard to case; null when none.
const EepromSection* FindEepromSection(const char* argument);

}  // namespace qv::qvtool
