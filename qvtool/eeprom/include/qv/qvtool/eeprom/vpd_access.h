// The adapter's serial EEPROM through the PCI Vital Product Data capability in configuration
// space, carried by the configuration read and write requests: an address register with a
// completion flag (bit 31 of the capability's dword) and a data register at capability + 4. All
// accesses are 32-bit words at word-aligned EEPROM addresses. Every function returns
// kStatusSuccess or kStatusFailure; every wait for the flag is a bounded number of polls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/progress_line.h"
#include "qv/qvtool/transport.h"  // kStatusSuccess, kStatusFailure

namespace qv::qvtool {

constexpr uint32_t kCapabilityListPointer = 0x34;
constexpr uint8_t kVpdCapabilityId = 0x03;
constexpr uint32_t kVpdCompletionFlag = 0x80000000;
// The capability walk: at most this many capabilities, none below the standard header.
constexpr uint32_t kMaxCapabilityHops = 48;
constexpr uint32_t kFirstCapabilityOffset = 0x40;
// Reads of the address register before an access is given up.
constexpr uint32_t kVpdPollLimit = 10000;

inline constexpr char kVpdNotCompleteMessage[] = "VPD access did not complete\n";

// An open VPD capability and where its accesses report.
struct VpdPort {
    HDevice device;
    uint32_t capability;     // configuration offset of the capability's first dword
    std::FILE* out;          // receives kVpdNotCompleteMessage when an access does not complete
    ProgressLine* progress;  // optional: shows the ranges' progress
};

// Walks the capability list from the pointer at 0x34 to the VPD capability (id 3) and gives its
// offset. Fails when a read fails or the list ends first: at a pointer of 0 or below 0x40, at a
// capability met before, or after kMaxCapabilityHops capabilities.
int FindVpdCapability(HDevice device, uint32_t* capability);

// Reads the word at address (rounded down to a word); *value is 0xFFFFFFFF when the read fails.
int VpdReadWord(const VpdPort& port, uint32_t address, uint32_t* value);
// Writes the word at address (rounded down to a word) and waits until the EEPROM took it.
int VpdWriteWord(const VpdPort& port, uint32_t address, uint32_t value);

// Reads bytes.size() bytes from start (a multiple of 4), word by word, each word's bytes in
// little-endian order. Stops at the first word that fails; the bytes from there on are 0xFF.
int VpdReadRange(const VpdPort& port, uint32_t start, std::span<uint8_t> bytes);
// Writes the bytes from start (a multiple of 4) word by word. A length that is not a multiple of
// 4 is covered by whole words: the last word's bytes after the data keep their stored value (read
// before anything is written). Stops at the first word that fails.
int VpdWriteRange(const VpdPort& port, uint32_t start, std::span<const uint8_t> bytes);

}  // namespace qv::qvtool
