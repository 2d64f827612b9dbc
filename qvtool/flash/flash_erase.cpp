// Sector erase.
#include "flash_commands.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/flash/spi_master.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

enum class SectorResult { kErased, kNotEnabled, kFailed };

// One sector: enable writes, send the erase command, wait for the flash to finish. The erase ran
// only when the flash cleared its latch: one that ignored the command leaves it set.
SectorResult EraseSector(HDevice device, const FlashPart& part, uint32_t sector, std::FILE* out,
                         ProgressLine* progress) {
    if (flash::EnableWrite(device) != kStatusSuccess) {
        ClearProgress(progress);
        std::fputs("Write enable failed...\n", out);
        return SectorResult::kNotEnabled;
    }
    if (SpiWrite(device, 1, true, flash::kOpSectorErase) != kStatusSuccess ||
        SpiWrite(device, 3, false, flash::AddressBytes(sector * part.sectorBytes)) != kStatusSuccess) {
        flash::AbandonCommand(device);
        return SectorResult::kFailed;
    }
    uint8_t status = 0;
    return WaitFlashReady(device, kEraseReadyPolls, &status) == kStatusSuccess && flash::CycleRan(status)
               ? SectorResult::kErased
               : SectorResult::kFailed;
}

}  // namespace

SectorRange SectorsCovering(const FlashPart& part, uint32_t address, uint32_t bytes) {
    if (bytes == 0) return {address / part.sectorBytes, 0};
    const uint64_t end = static_cast<uint64_t>(address) + bytes;  // one past the last byte
    const uint32_t first = address / part.sectorBytes;
    return {first, static_cast<uint32_t>((end + part.sectorBytes - 1) / part.sectorBytes - first)};
}

int EraseFlashSectors(HDevice device, const FlashPart& part, uint32_t first, uint32_t count, std::FILE* out,
                      ProgressLine* progress, bool* untouched) {
    std::fputs("Erasing serial flash sectors...\n", out);
    uint32_t attempted = 0;
    SectorResult result = SectorResult::kErased;
    for (uint32_t i = 0; i < count && result == SectorResult::kErased; ++i) {
        const uint64_t sector = static_cast<uint64_t>(first) + i;
        ShowProgress(progress, "Erasing", attempted, count);
        ++attempted;
        // A sector past the part's end would wrap onto the start of the flash.
        result = sector < part.sectorCount
                     ? EraseSector(device, part, static_cast<uint32_t>(sector), out, progress)
                     : SectorResult::kFailed;
    }
    ClearProgress(progress);
    // Refused before anything was erased: the message said so, there is nothing to count.
    const bool nothingSent = result == SectorResult::kNotEnabled && attempted == 1;
    if (untouched != nullptr) *untouched = nothingSent;
    if (!nothingSent) {
        std::fprintf(out, "%u sectors erased, ", attempted);
        if (result == SectorResult::kErased) {
            std::fputs("successfully...\n", out);
        } else {
            std::fprintf(out, "failed on %u sector...\n", first + attempted - 1);
        }
    }
    flash::DisableWrite(device);
    std::fputs("\n", out);
    return result == SectorResult::kErased ? kStatusSuccess : kStatusFailure;
}

}  // namespace qv::qvtool
