// Identification, word reads and the compare of an image with the flash.
#include "flash_commands.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/flash/spi_master.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {

int ReadFlashSignature(HDevice device, uint8_t* signature) {
    *signature = 0;
    uint32_t value = 0;
    if (SpiWrite(device, 4, true, flash::kOpReadSignature) != kStatusSuccess) {
        flash::AbandonCommand(device);
        return kStatusFailure;
    }
    if (SpiRead(device, 1, &value) != kStatusSuccess) return kStatusFailure;
    *signature = static_cast<uint8_t>(value);
    return kStatusSuccess;
}

int ReportFlashSignature(HDevice device, std::FILE* out, uint8_t* read) {
    std::fputs("\nReading Device ID from serial flash...\n", out);
    uint8_t signature = 0;
    const int status = ReadFlashSignature(device, &signature);
    if (status != kStatusSuccess) {
        std::fputs("Reading the Serial Flash ID failed", out);
    } else {
        std::fprintf(out, "  Device ID=0x%08x\n", signature);
    }
    std::fputs("\n", out);
    if (read != nullptr) *read = signature;
    return status;
}

int ReadFlashWord(HDevice device, uint32_t address, uint32_t* value) {
    *value = 0;
    if (flash::StartAddressedCommand(device, flash::kOpRead, address) != kStatusSuccess) {
        flash::AbandonCommand(device);
        return kStatusFailure;
    }
    return SpiRead(device, 4, value);
}

int ReadFlashVersionWord(HDevice device, uint32_t* value) {
    return ReadFlashWord(device, kFlashVersionAddress, value);
}

int CompareFlashImage(HDevice device, std::span<const uint32_t> words, uint32_t address, std::FILE* out,
                      ProgressLine* progress) {
    std::fprintf(out, "\nComparing serial flash contents at 0x%08X to stored image.\n", address);
    if (!flash::FitsAddressSpace(address, words.size())) {
        std::fputs("The image does not fit in the serial flash's addresses\n", out);
        return kStatusFailure;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const uint32_t at = (address & ~3u) + static_cast<uint32_t>(4 * i);
        ShowProgress(progress, "Comparing", i, words.size());
        uint32_t value = 0;
        const int read = ReadFlashWord(device, at, &value);
        if (read != kStatusSuccess || value != words[i]) ClearProgress(progress);
        if (read != kStatusSuccess) {
            // Not a difference, but the compare cannot vouch for the flash: said so, not kept quiet.
            std::fprintf(out, "Reading the serial flash failed at 0x%x\n", at);
            return kStatusFailure;
        }
        if (value != words[i]) {
            std::fprintf(out, "Comparing failure base = 0x%x Flash = 0x%08x image = 0x%08x\n", at, value,
                         words[i]);
            return kStatusFailure;
        }
    }
    ClearProgress(progress);
    std::fputs("Comparison was successful.\n", out);
    return kStatusSuccess;
}

}  // namespace qv::qvtool
