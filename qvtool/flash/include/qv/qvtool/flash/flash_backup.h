// The copy -p keeps of the sectors it is about to erase. It is read from the flash and saved in the
// current directory before the first erase, in the form -p takes back wherever programming it back
// restores those sectors byte for byte, so that an engineer can undo a programming, or mend an area
// that a failed or interrupted run left incomplete, without the image that was there before.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/flash/flash_parts.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

// The sectors one programming erases: the boot area from address 0 or the firmware area from
// kFlashFirmwareAddress.
struct FlashArea {
    const char* name;  // "boot" or "firmware": also the area's part of the backup's name
    uint32_t address;  // of the first sector
    uint32_t bytes;    // whole sectors
    uint32_t last() const { return address + bytes - 1; }
};

// A backup as saved: the file's contents and extension and what the saved line says about it.
struct BackupForm {
    const char* extension;
    std::string contents;
    bool restores;     // programming the file back with -p restores the area byte for byte
    const char* note;  // the end of the saved line
};

// The length in words of the firmware image at the start of `area` (the bytes of the erased
// sectors from kFlashFirmwareAddress) that -p would program back into exactly these bytes: the
// words (at least two) summing to 0xFFFFFFFF, then only erased words but the version word that
// -p writes apart; and covering the same sectors. 0 when there is none.
size_t RestorableFirmwareWords(std::span<const uint8_t> area, const FlashPart& part);

// The boot area as stored: a raw ROM, which restores the area when it starts with 55 AA. The
// firmware area as a binary firmware file when RestorableFirmwareWords finds an image, else as its
// raw bytes, kept for inspection only.
BackupForm ChooseBackupForm(const FlashArea& area, std::span<const uint8_t> bytes, const FlashPart& part);

struct FlashBackup {
    bool saved = false;
    std::string file;  // with saved; empty for an empty area
    bool restores = false;
};

// Reads the area, saves it with SaveBackupFile under the adapter's name and prints one line naming
// the file; when reading or saving fails prints why and that nothing was erased.
FlashBackup SaveFlashBackup(HDevice device, const FlashPart& part, const std::string& adapter,
                            const FlashArea& area, std::FILE* out, ProgressLine* progress);

}  // namespace qv::qvtool
