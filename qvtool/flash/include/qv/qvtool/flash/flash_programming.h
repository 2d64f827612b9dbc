// -p: programming the serial flash from an image file. The file is read and checked first and a
// refused file leaves the adapter untouched. Then the flash is made ready and identified
// (flash_identify.h); a flash that is not a known part, or an image that does not fit it, is
// refused before anything is erased. The sectors the image covers are saved to a backup file
// (flash_backup.h) and, only once that is saved, erased; then the image is written and compared.
// Firmware goes to kFlashFirmwareAddress with register 0x280 set to 1 around the write and its
// version word written to kFlashVersionAddress; a boot image goes to kFlashBootImageAddress. After
// a failed erase nothing is written; write and compare run whatever the outcome of the step before
// and report their own result. A run that leaves the area incomplete says so, and how to mend it.
#pragma once

#include <cstdio>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

// The register set to 1 while firmware is written and back to 0 afterwards.
constexpr uint32_t kFirmwareUpdateRegister = 0x280;

// adapter is the -d device name: it names the backup file.
void ProgramFlashFromFile(const std::string& path, const std::string& adapter, HDevice device, std::FILE* out,
                          ProgressLine* progress);

}  // namespace qv::qvtool
