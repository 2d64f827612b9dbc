// The checks both firmware readers make on the words they read.
#pragma once

#include <cstdint>
#include <vector>

#include "qv/qvtool/storage/image.h"

namespace qv::qvtool {

// The firmware's words add up (32-bit, wrapping) to this; an empty file adds up to 0.
constexpr uint32_t kFirmwareSum = 0xFFFFFFFF;

// Refuses more than kMaxFirmwareBytes ("too large"), a sum other than kFirmwareSum ("corrupt",
// with the sum) and fewer than two words (no version word beside the checksum word); otherwise the
// image of the words.
ImageRead CheckFirmwareWords(std::vector<uint32_t> words);

}  // namespace qv::qvtool
