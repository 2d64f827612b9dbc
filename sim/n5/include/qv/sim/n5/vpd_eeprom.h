// The adapter's serial EEPROM (32 KiB) behind the PCI Vital Product Data capability in
// configuration space. Its whole state, the contents included, lives in the adapter's state file.
//
// The capability's registers, as the PCI VPD capability defines them:
// - the dword at the capability: byte 0 the capability id (3), byte 1 the next pointer (both
//   read-only), bytes 2-3 the address register: EEPROM address in bits 0-14, the completion flag
//   in bit 15 (bit 31 of the dword);
// - the data dword at capability + 4.
// Writing the address register with the flag clear starts a read of the 32-bit word at the
// address (rounded down to a word); when it completes the data register holds the word and the
// flag reads 1. Writing it with the flag set starts a write of the data register's value; when it
// completes the flag reads 0. An access completes after kBusyPolls reads of the address register
// that still show it running; a new access replaces a running one.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

constexpr uint32_t kVpdEepromBytes = 32 * 1024;
constexpr uint8_t kVpdCapabilityId = 0x03;
constexpr uint32_t kVpdFlag = 0x8000;         // completion flag in the address register
constexpr uint32_t kVpdAddressMask = 0x7FFC;  // word addresses inside the part
constexpr uint32_t kVpdProtectionWordAddress = 0x4000;
constexpr uint32_t kVpdProtectionWordDefault = 0x0000000C;

struct VpdEepromPart {
    // Reads of the address register that still show an access running after it starts.
    static constexpr uint32_t kBusyPolls = 2;
};

struct VpdEepromFaults {
    uint8_t absent;          // 1: the capability list skips the VPD capability; its registers read 0
    uint8_t neverCompletes;  // 1: an access never completes: the flag keeps its starting value
    uint8_t reserved[2];
};

// The part's state. Plain data: it is mapped from the adapter's state file.
struct VpdEeprom {
    uint8_t memory[kVpdEepromBytes];
    uint32_t capability;  // configuration offset of the capability (a multiple of 4), 0 for none
    uint32_t busyPolls;   // reads of the address register left before the running access completes
    uint32_t running;     // 1 while an access runs
    uint32_t reserved;
    uint64_t wordsRead;  // completed accesses, for tests and `qvsim adapter <n> show`
    uint64_t wordsWritten;
    VpdEepromFaults faults;
    uint32_t reserved2;
};

// Power-on state: the default contents (an identifier string and read-only VPD fields at address
// 0, a pattern in the protocol SRAM and serial configuration areas, the protection word), no
// access running, no faults, the capability at `capability`.
void PowerOnVpdEeprom(VpdEeprom* eeprom, uint32_t capability);

// A configuration dword read at offset (config is the stored configuration space): applies the
// capability's behaviour to *value, the stored dword. Reads of the address register advance a
// running access.
void VpdConfigRead(VpdEeprom* eeprom, uint8_t* config, uint32_t offset, uint32_t* value);
// A configuration dword write at offset: true when the VPD capability took it (the caller stores
// nothing then); false for every other offset.
bool VpdConfigWrite(VpdEeprom* eeprom, uint8_t* config, uint32_t offset, uint32_t value);

}  // namespace qv::sim::n5
