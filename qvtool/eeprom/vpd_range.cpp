// Ranges of the EEPROM, word by word, with their progress.
#include <algorithm>

#include "qv/qvtool/eeprom/vpd_access.h"

namespace qv::qvtool {
namespace {

constexpr char kReading[] = "Reading";
constexpr char kWriting[] = "Writing";

int Finish(const VpdPort& port, int status) {
    if (port.progress != nullptr) port.progress->Clear();
    return status;
}

}  // namespace

int VpdReadRange(const VpdPort& port, uint32_t start, std::span<uint8_t> bytes) {
    std::fill(bytes.begin(), bytes.end(), 0xFF);
    const size_t total = bytes.size();
    for (size_t offset = 0; offset < total; offset += 4) {
        ShowProgress(port.progress, kReading, offset, total);
        uint32_t word = 0;
        if (VpdReadWord(port, start + static_cast<uint32_t>(offset), &word) != kStatusSuccess) {
            return Finish(port, kStatusFailure);
        }
        for (size_t i = 0; i < 4 && offset + i < total; ++i)
            bytes[offset + i] = static_cast<uint8_t>(word >> (8 * i));
    }
    ShowProgress(port.progress, kReading, total, total);
    return Finish(port, kStatusSuccess);
}

int VpdWriteRange(const VpdPort& port, uint32_t start, std::span<const uint8_t> bytes) {
    const size_t total = bytes.size();
    // The bytes that share the last word with the data but lie beyond it keep what is stored.
    uint32_t stored = 0;
    if (total % 4 != 0 &&
        VpdReadWord(port, start + static_cast<uint32_t>(total & ~size_t{3}), &stored) != kStatusSuccess) {
        return Finish(port, kStatusFailure);
    }
    for (size_t offset = 0; offset < total; offset += 4) {
        ShowProgress(port.progress, kWriting, offset, total);
        uint32_t word = 0;
        for (size_t i = 0; i < 4; ++i) {
            const uint32_t byte = offset + i < total ? bytes[offset + i] : (stored >> (8 * i)) & 0xFF;
            word |= byte << (8 * i);
        }
        if (VpdWriteWord(port, start + static_cast<uint32_t>(offset), word) != kStatusSuccess) {
            return Finish(port, kStatusFailure);
        }
    }
    ShowProgress(port.progress, kWriting, total, total);
    return Finish(port, kStatusSuccess);
}

}  // namespace qv::qvtool
