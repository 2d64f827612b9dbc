// The serial flash parts the adapters carry, as data: each answers the electronic-signature
// command (0xAB) with its own byte. -p looks the part up before it erases anything, and the
// operations take the sector and page sizes and the part's size from its entry. The erase command
// (0xD8) erases 64 KiB and a program page is 256 bytes on every part: the self-check suite holds
// the table to that.
#pragma once

#include <cstdint>
#include <span>

namespace qv::qvtool {

struct FlashPart {
    const char* name;
    uint8_t signature;
    uint32_t totalBytes;
    uint32_t sectorBytes;
    uint32_t sectorCount;
    uint32_t pageBytes;
};

std::span<const FlashPart> FlashParts();
// The part with this signature; null for an unknown one.
const FlashPart* FindFlashPart(uint8_t signature);
// True when an area of `bytes` bytes at `address` lies inside the part.
bool FlashPartHolds(const FlashPart& part, uint32_t address, uint64_t bytes);

}  // namespace qv::qvtool
