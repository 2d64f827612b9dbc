// -p: programming the serial flash from an image file. The file is read and checked first and a
// refused file leaves the adapter untouched; then the flash is identified, the sectors the image
// covers are erased, the image is written and compared. Firmware goes to kFlashFirmwareAddress
// with register 0x280 set to 1 around the write and its version word written to
// kFlashVersionAddress; a boot image goes to kFlashBootImageAddress. Every step runs whatever the
// outcome of the one before and reports its own result.
#pragma once

#include <cstdio>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

// The register set to 1 while firmware is written and back to 0 afterwards.
constexpr uint32_t kFirmwareUpdateRegister = 0x280;

void ProgramFlashFromFile(const std::string& path, HDevice device, std::FILE* out, ProgressLine* progress);

}  // namespace qv::qvtool
