#include "firmware_check.h"

#include "messages.h"

namespace qv::qvtool {

ImageRead CheckFirmwareWords(std::vector<uint32_t> words) {
    ImageRead read;
    if (words.size() > kMaxFirmwareBytes / 4) {
        read.message = kTooLargeMessage;
        return read;
    }
    uint32_t sum = 0;
    for (const uint32_t word : words) sum += word;
    if (sum != kFirmwareSum) {
        AppendFormat(&read.message, kCorruptFormat, sum);
        return read;
    }
    read.ok = true;
    read.image.length = static_cast<uint32_t>(words.size() * 4);
    read.image.words = std::move(words);
    return read;
}

}  // namespace qv::qvtool
