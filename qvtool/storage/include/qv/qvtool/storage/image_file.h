// Loading an image file whole. The name comes from the command line, so only a regular file is
// read (a directory, FIFO or device is refused without waiting on it) and no more than a bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv::qvtool {

// Large enough for every image the readers accept: a boot image of kMaxBootImageBytes behind the
// largest header a DOS executable can declare (0xFFFF paragraphs).
constexpr size_t kMaxImageFileBytes = 0x200000;

enum class LoadStatus { kLoaded, kCannotOpen, kTooLarge };

struct LoadedFile {
    LoadStatus status = LoadStatus::kCannotOpen;
    std::vector<uint8_t> bytes;  // with kLoaded
};

// Reads the file in binary mode. kCannotOpen when it is missing, unreadable or not a regular
// file; kTooLarge when it holds more than maxBytes.
LoadedFile LoadImageFile(const std::string& path, size_t maxBytes = kMaxImageFileBytes);

}  // namespace qv::qvtool
