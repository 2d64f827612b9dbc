// A loaded image file and the result every image reader returns. Readers are pure functions over
// the file's bytes: they print nothing themselves but hand back the messages the tool prints.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qv::qvtool {

// The largest images: the adapter firmware and the PCI boot image.
constexpr uint32_t kMaxFirmwareBytes = 0x10004;
constexpr uint32_t kMaxBootImageBytes = 0x70000;
// The protocol SRAM configuration: exactly this many byte values.
constexpr uint32_t kSramConfigBytes = 2112;

// An image in memory: 32-bit words plus the length in bytes (a multiple of 4; the boot image taken
// from an executable is a multiple of 2048). Firmware words hold the word values; boot images and
// the SRAM configuration hold the file's bytes as stored.
struct Image {
    std::vector<uint32_t> words;
    uint32_t length = 0;
};

struct ImageRead {
    bool ok = false;
    Image image;          // with ok
    std::string message;  // what the tool prints about the file (empty when nothing is to be said)
};

// The image's bytes in memory order (the words as they lie in a little-endian host's memory).
std::vector<uint8_t> ImageBytes(const Image& image);
// Firmware words as the adapter keeps them and a binary firmware file stores them: each word most
// significant byte first.
std::vector<uint8_t> FirmwareFileBytes(std::span<const uint32_t> words);
// The image made of the given bytes; a trailing piece shorter than a word is kept zero-padded
// (length stays the byte count).
Image ImageFromBytes(const uint8_t* data, size_t size);

}  // namespace qv::qvtool
