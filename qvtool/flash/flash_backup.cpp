#include "qv/qvtool/flash/flash_backup.h"

#include <algorithm>
#include <vector>

#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/storage/image.h"
#include "qv/qvtool/storage/whole_file.h"

namespace qv::qvtool {
namespace {

constexpr size_t kVersionWordIndex = (kFlashVersionAddress - kFlashFirmwareAddress) / 4;
constexpr size_t kNone = static_cast<size_t>(-1);

constexpr char kRestoresNote[] = "program it back with -p to restore the area";

// The flash word at byte offset 4 * index, as a read returns it (the first byte least significant).
uint32_t WordAt(std::span<const uint8_t> bytes, size_t index) {
    const uint8_t* b = bytes.data() + 4 * index;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// The binary firmware file of the first `words` words.
std::string FirmwareBinary(std::span<const uint8_t> bytes, size_t words) {
    std::vector<uint32_t> values(words);
    for (size_t i = 0; i < words; ++i) values[i] = WordAt(bytes, i);
    const std::vector<uint8_t> file = FirmwareFileBytes(values);
    return std::string(file.begin(), file.end());
}

BackupForm BootBackup(std::span<const uint8_t> bytes) {
    BackupForm form{"rom", std::string(bytes.begin(), bytes.end()), false, nullptr};
    if (bytes.size() >= 2 && bytes[0] == 0x55 && bytes[1] == 0xAA) {
        form.restores = true;
        form.note = kRestoresNote;
    } else if (std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; })) {
        form.note = "the area is blank, there is nothing to program back";
    } else {
        form.note = "it does not start with 55 AA and is kept for inspection only";
    }
    return form;
}

BackupForm FirmwareBackup(std::span<const uint8_t> bytes, const FlashPart& part) {
    const size_t words = RestorableFirmwareWords(bytes, part);
    if (words == 0) {
        return {"raw", std::string(bytes.begin(), bytes.end()), false,
                "it holds no valid firmware image and is kept for inspection only"};
    }
    return {"bin", FirmwareBinary(bytes, words), true, kRestoresNote};
}

}  // namespace

size_t RestorableFirmwareWords(std::span<const uint8_t> area, const FlashPart& part) {
    const size_t count = area.size() / 4;
    if (count <= kVersionWordIndex) return 0;  // not the firmware area
    // The last word that is not erased, and the last one outside the version word's place.
    size_t lastAny = kNone;
    size_t lastOther = kNone;
    for (size_t i = 0; i < count; ++i) {
        if (WordAt(area, i) == kFlashErasedWord) continue;
        lastAny = i;
        if (i != kVersionWordIndex) lastOther = i;
    }
    const auto erasedFrom = [](size_t last, size_t n) { return last == kNone || last < n; };
    const uint32_t sectors = static_cast<uint32_t>(area.size() / part.sectorBytes);
    const size_t longest = std::min<size_t>(count, kMaxFirmwareBytes / 4);
    uint32_t sum = WordAt(area, 0);
    // Firmware has at least its version word and its checksum word.
    for (size_t n = 2; n <= longest; ++n) {
        sum += WordAt(area, n - 1);
        if (sum != 0xFFFFFFFF ||
            SectorsCovering(part, kFlashFirmwareAddress, static_cast<uint32_t>(4 * n)).count != sectors) {
            continue;
        }
        if (!VersionWordWrittenApart(4 * n)) {
            if (erasedFrom(lastAny, n)) return n;
        } else if (erasedFrom(lastOther, n) && WordAt(area, kVersionWordIndex) == WordAt(area, n - 2)) {
            return n;
        }
    }
    return 0;
}

BackupForm ChooseBackupForm(const FlashArea& area, std::span<const uint8_t> bytes, const FlashPart& part) {
    return area.address == kFlashBootImageAddress ? BootBackup(bytes) : FirmwareBackup(bytes, part);
}

FlashBackup SaveFlashBackup(HDevice device, const FlashPart& part, const std::string& adapter,
                            const FlashArea& area, std::FILE* out, ProgressLine* progress) {
    FlashBackup backup;
    if (area.bytes == 0) {
        backup.saved = true;
        return backup;
    }
    std::vector<uint8_t> bytes(area.bytes);
    const size_t words = area.bytes / 4;
    for (size_t i = 0; i < words; ++i) {
        ShowProgress(progress, "Saving", i, words);
        const uint32_t at = area.address + static_cast<uint32_t>(4 * i);
        uint32_t value = 0;
        if (ReadFlashWord(device, at, &value) != kStatusSuccess) {
            ClearProgress(progress);
            std::fprintf(out, "Reading the serial flash failed at 0x%x: nothing was erased.\n", at);
            return backup;
        }
        for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<uint8_t>(value >> (8 * b));
    }
    ClearProgress(progress);
    const BackupForm form = ChooseBackupForm(area, bytes, part);
    backup.file = SaveBackupFile(adapter, area.name, form.extension, form.contents);
    if (backup.file.empty()) {
        std::fprintf(out,
                     "Saving the %s area to a file in the current directory failed: nothing was erased.\n",
                     area.name);
        return backup;
    }
    backup.saved = true;
    backup.restores = form.restores;
    std::fprintf(out, "Saved the %s area 0x%08X-0x%08X to %s: %s.\n", area.name, area.address, area.last(),
                 backup.file.c_str(), form.note);
    return backup;
}

}  // namespace qv::qvtool
