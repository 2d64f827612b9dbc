// The serial flash operations over the SPI master: identification, sector erase, image write,
// word read and compare. The operations that print report to out with the tool's messages; all
// return kStatusSuccess (0) or kStatusFailure. Every wait for the flash is a bounded number of
// status polls. Erase and write take the sector and page sizes and the part's size from the part's
// entry in the parts table. Erase, write and compare show how far they are on a progress line when
// given one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/flash/flash_parts.h"
#include "qv/qvtool/progress_line.h"
#include "qv/qvtool/transport.h"  // kStatusSuccess, kStatusFailure

namespace qv::qvtool {

// The adapter's flash layout. Every part of the parts table has sectors of kFlashSectorBytes and
// pages of kFlashPageBytes (its self-check holds it to that); the operations use the part's entry.
constexpr uint32_t kFlashBootImageAddress = 0;
constexpr uint32_t kFlashBootImageMaxBytes = 0x70000;
constexpr uint32_t kFlashFirmwareAddress = 0x70000;
constexpr uint32_t kFlashVersionAddress = 0x7FFFC;  // the firmware area's last word
constexpr uint32_t kFlashSectorBytes = 0x10000;
constexpr uint32_t kFlashPageBytes = 256;
constexpr uint32_t kFlashAddressSpace = 1u << 24;  // commands carry 24-bit addresses
constexpr uint32_t kFlashErasedWord = 0xFFFFFFFF;

// The firmware's version word is written to kFlashVersionAddress only when the image stops short of
// that word: an image that reaches it carries the word there itself.
constexpr bool VersionWordWrittenApart(uint64_t firmwareBytes) {
    return kFlashFirmwareAddress + firmwareBytes <= kFlashVersionAddress;
}

// Status register bits.
constexpr uint8_t kFlashStatusBusy = 0x01;
constexpr uint8_t kFlashStatusWriteEnabled = 0x02;

// Status polls before a wait gives up.
constexpr uint32_t kEraseReadyPolls = 500000;
constexpr uint32_t kProgramReadyPolls = 100000;

int ReadFlashStatus(HDevice device, uint8_t* status);
// Polls the status until the busy bit is clear, at most maxPolls times; fails on a request failure
// or when the flash is still busy. *lastStatus (when given) is the last status read, 0 after a
// request failure: after a program or erase its write-enable bit tells whether the command ran
// (the flash clears the latch when the cycle completes).
int WaitFlashReady(HDevice device, uint32_t maxPolls, uint8_t* lastStatus = nullptr);

// The electronic signature (command 0xAB).
int ReadFlashSignature(HDevice device, uint8_t* signature);
// Reads and prints the signature, and hands it over in *read when given (0 after a failure).
int ReportFlashSignature(HDevice device, std::FILE* out, uint8_t* read = nullptr);

// The sectors of the part that an area of `bytes` bytes at `address` touches (none for an empty
// area).
struct SectorRange {
    uint32_t first;
    uint32_t count;
};
SectorRange SectorsCovering(const FlashPart& part, uint32_t address, uint32_t bytes);

// Erases count sectors from first, enabling writes (and checking that the latch is set and the
// flash idle) before each one, since the flash clears the latch when an erase completes. A sector
// counts as erased only when the flash went idle with its latch cleared: a busy or deaf flash
// ignores the command and leaves the latch set. Stops at the first sector that fails. *untouched
// (when given) tells whether it failed before sending any erase command: the sectors are as they
// were.
int EraseFlashSectors(HDevice device, const FlashPart& part, uint32_t first, uint32_t count, std::FILE* out,
                      ProgressLine* progress = nullptr, bool* untouched = nullptr);

// Writes the words from address (rounded down to a word) page by page; a page counts as written
// only when the flash went idle with its latch cleared. Stops at the first failure.
int WriteFlashImage(HDevice device, const FlashPart& part, std::span<const uint32_t> words, uint32_t address,
                    std::FILE* out, ProgressLine* progress = nullptr);

// Reads the word at address (rounded down to a word), the first byte least significant. *value is
// 0 when the read fails.
int ReadFlashWord(HDevice device, uint32_t address, uint32_t* value);
// The firmware version word kept at kFlashVersionAddress.
int ReadFlashVersionWord(HDevice device, uint32_t* value);

// Reads the flash from address upward and compares it with the words; reports the first difference.
int CompareFlashImage(HDevice device, std::span<const uint32_t> words, uint32_t address, std::FILE* out,
                      ProgressLine* progress = nullptr);

}  // namespace qv::qvtool
