#include "qv/qvtool/flash/flash_programming.h"

#include <span>

#include "qv/qvtool/flash/flash_backup.h"
#include "qv/qvtool/flash/flash_identify.h"
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

// Writes and compares a boot image; true when both succeed.
bool WriteBootImage(HDevice device, const FlashPart& part, std::span<const uint32_t> words, std::FILE* out,
                    ProgressLine* progress) {
    const bool written =
        WriteFlashImage(device, part, words, kFlashBootImageAddress, out, progress) == kStatusSuccess;
    const bool same =
        CompareFlashImage(device, words, kFlashBootImageAddress, out, progress) == kStatusSuccess;
    return written && same;
}

// Writes the firmware with its version word and compares it, register 0x280 set around the write;
// true when every step succeeds.
bool WriteFirmware(HDevice device, const FlashPart& part, const Image& image, std::FILE* out,
                   ProgressLine* progress) {
    const std::span<const uint32_t> words(image.words.data(), image.length / 4);
    SetFirmwareUpdateRegister(device, 1, out);
    bool complete =
        WriteFlashImage(device, part, words, kFlashFirmwareAddress, out, progress) == kStatusSuccess;
    // The version word has its own place in the area's last word, unless the image reaches that
    // word itself: then writing over it would corrupt the image (the largest image carries its
    // version word there already).
    if (VersionWordWrittenApart(image.length)) {
        const uint32_t version = FirmwareVersionWord(image);
        WriteFlashImage(device, part, std::span<const uint32_t>(&version, 1), kFlashVersionAddress, out,
                        nullptr);
        // Read back: a version word that did not take is said (the compare covers only the image).
        uint32_t stored = 0;
        if (ReadFlashVersionWord(device, &stored) != kStatusSuccess) {
            complete = false;
        } else if (stored != version) {
            std::fprintf(out, "Version word at 0x%08X reads 0x%08x, not 0x%08x\n", kFlashVersionAddress,
                         stored, version);
            complete = false;
        }
    }
    complete =
        CompareFlashImage(device, words, kFlashFirmwareAddress, out, progress) == kStatusSuccess && complete;
    SetFirmwareUpdateRegister(device, 0, out);
    return complete;
}

// After a failed erase, write or compare: which area is left incomplete and how to mend it.
void ReportIncompleteArea(const FlashArea& area, const FlashBackup& backup, std::FILE* out) {
    std::fprintf(out,
                 "The %s area 0x%08X-0x%08X of the serial flash is incomplete: run the same command again to "
                 "restore it",
                 area.name, area.address, area.last());
    if (backup.restores) std::fprintf(out, ", or program %s with -p", backup.file.c_str());
    std::fputs(".\n", out);
}

}  // namespace

void ProgramFlashFromFile(const std::string& path, const std::string& adapter, HDevice device, std::FILE* out,
                          ProgressLine* progress) {
    const ImageFileRead read = ReadImageFile(path, false, out);
    if (!read.ok) return;
    const bool firmware = IsFirmwareKind(read.kind);
    const uint32_t address = firmware ? kFlashFirmwareAddress : kFlashBootImageAddress;

    const FlashPart* part = IdentifyFlashPart(device, out);
    if (part == nullptr) return;
    // Only the sectors the image reaches: a boot image of the largest size must not erase the
    // firmware's sector behind it. The firmware's sectors hold its version word too.
    const SectorRange sectors = SectorsCovering(*part, address, read.image.length);
    const FlashArea area{firmware ? "firmware" : "boot", sectors.first * part->sectorBytes,
                         sectors.count * part->sectorBytes};
    if (!FlashPartHolds(*part, area.address, area.bytes)) {
        std::fprintf(out, "The image does not fit the serial flash (%s, %u bytes): nothing was erased.\n",
                     part->name, part->totalBytes);
        return;
    }
    const FlashBackup backup = SaveFlashBackup(device, *part, adapter, area, out, progress);
    if (!backup.saved) return;

    // After a failed erase nothing is written: the sectors may still hold what was there, which
    // writing over would destroy.
    bool untouched = false;
    if (EraseFlashSectors(device, *part, sectors.first, sectors.count, out, progress, &untouched) !=
        kStatusSuccess) {
        if (untouched) {
            std::fprintf(out, "Nothing was erased: the %s area 0x%08X-0x%08X is as it was.\n", area.name,
                         area.address, area.last());
        } else {
            ReportIncompleteArea(area, backup, out);
        }
        return;
    }
    const std::span<const uint32_t> words(read.image.words.data(), read.image.length / 4);
    const bool complete = firmware ? WriteFirmware(device, *part, read.image, out, progress)
                                   : WriteBootImage(device, *part, words, out, progress);
    if (!complete) ReportIncompleteArea(area, backup, out);
}

}  // namespace qv::qvtool
