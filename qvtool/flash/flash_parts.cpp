#include "qv/qvtool/flash/flash_parts.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kKiB = 1024;

constexpr FlashPart kParts[] = {
    {.name = "SPI NOR 4 Mbit",
     .signature = 0x12,
     .totalBytes = 512 * kKiB,
     .sectorBytes = 64 * kKiB,
     .sectorCount = 8,
     .pageBytes = 256},
    {.name = "SPI NOR 8 Mbit",
     .signature = 0x13,
     .totalBytes = 1024 * kKiB,
     .sectorBytes = 64 * kKiB,
     .sectorCount = 16,
     .pageBytes = 256},
    {.name = "SPI NOR 16 Mbit",
     .signature = 0x14,
     .totalBytes = 2048 * kKiB,
     .sectorBytes = 64 * kKiB,
     .sectorCount = 32,
     .pageBytes = 256},
    {.name = "SPI NOR 32 Mbit",
     .signature = 0x15,
     .totalBytes = 4096 * kKiB,
     .sectorBytes = 64 * kKiB,
     .sectorCount = 64,
     .pageBytes = 256},
};

}  // namespace

std::span<const FlashPart> FlashParts() {
    return kParts;
}

const FlashPart* FindFlashPart(uint8_t signature) {
    for (const FlashPart& part : kParts) {
        if (part.signature == signature) return &part;
    }
    return nullptr;
}

bool FlashPartHolds(const FlashPart& part, uint32_t address, uint64_t bytes) {
    return address + bytes <= part.totalBytes;
}

}  // namespace qv::qvtool
