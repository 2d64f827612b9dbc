#include "qv/qvtool/flash/flash_programming.h"

#include <span>

#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/storage/read_image_file.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

// Writes the register and reads it back; a failure is said, the programming goes on.
void SetFirmwareUpdateRegister(HDevice device, uint32_t value, std::FILE* out) {
    uint32_t readBack = 0;
    if (RegisterWrite(device, kFirmwareUpdateRegister, value) != kStatusSuccess ||
        RegisterRead(device, kFirmwareUpdateRegister, &readBack) != kStatusSuccess) {
        std::fprintf(out, "Setting register 0x%X to %u failed\n", kFirmwareUpdateRegister, value);
    }
}

}  // namespace

void ProgramFlashFromFile(const std::string& path, HDevice device, std::FILE* out, ProgressLine* progress) {
    const ImageFileRead read = ReadImageFile(path, false, out);
    if (!read.ok) return;
    const bool firmware = IsFirmwareKind(read.kind);
    const uint32_t address = firmware ? kFlashFirmwareAddress : kFlashBootImageAddress;
    const std::span<const uint32_t> words(read.image.words.data(), read.image.length / 4);

    ReportFlashSignature(device, out);
    // Only the sectors the image reaches: a boot image of the largest size must not erase the
    // firmware's sector behind it.
    const SectorRange sectors = SectorsCovering(address, read.image.length);
    EraseFlashSectors(device, sectors.first, sectors.count, out, progress);
    if (!firmware) {
        WriteFlashImage(device, words, address, out, progress);
        CompareFlashImage(device, words, address, out, progress);
        return;
    }
    SetFirmwareUpdateRegister(device, 1, out);
    WriteFlashImage(device, words, address, out, progress);
    // The version word has its own place in the area's last word, unless the image reaches that
    // word itself: then writing over it would corrupt the image (the largest image carries its
    // version word there already).
    if (static_cast<uint64_t>(address) + read.image.length <= kFlashVersionAddress) {
        const uint32_t version = FirmwareVersionWord(read.image);
        WriteFlashImage(device, std::span<const uint32_t>(&version, 1), kFlashVersionAddress, out, nullptr);
        // Read back: a version word that did not take is said (the compare covers only the image).
        uint32_t stored = 0;
        if (ReadFlashVersionWord(device, &stored) == kStatusSuccess && stored != version) {
            std::fprintf(out, "Version word at 0x%08X reads 0x%08x, not 0x%08x\n", kFlashVersionAddress,
                         stored, version);
        }
    }
    CompareFlashImage(device, words, address, out, progress);
    SetFirmwareUpdateRegister(device, 0, out);
}

}  // namespace qv::qvtool
