#include "firmware_check.h"

#include "messages.h"

namespace qv::qvtool {
namespace {

// The firmware carries its version in the word before its checksum word: an image of fewer words
// has none, and programming it would only erase the firmware.
constexpr size_t kMinFirmwareWords = 2;

}  // namespace

ImageRead CheckFirmwareWords(std::vector<uint32_t> words) {
    if (words.size() > kMaxFirmwareBytes / 4) return Refused(kTooLargeMessage);
    uint32_t sum = 0;
    for (const uint32_t word : words) sum += word;
    if (sum != kFirmwareSum) {
        ImageRead read;
        AppendFormat(&read.message, kCorruptFormat, sum);
        return read;
    }
    if (words.size() < kMinFirmwareWords)
        return Refused("\nImage file is too small to hold a version word!!!!\n");
    ImageRead read;
    read.ok = true;
    read.image.length = static_cast<uint32_t>(words.size() * 4);
    read.image.words = std::move(words);
    return read;
}

}  // namespace qv::qvtool
