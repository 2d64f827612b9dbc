// File-system port: the Windows directory, file searches by pattern, full paths and attributes,
// as the INF lookups use them. Paths are UTF-16 with Windows separators ("\\" and "/").
#pragma once

#include <cstdint>

#include "qv/platform/wintypes.h"

namespace qv {

struct FindTag;
using HFind = FindTag*;
inline HFind const kInvalidFind = reinterpret_cast<HFind>(static_cast<intptr_t>(-1));

constexpr uint32_t kMaxPath = 260;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeNormal = 0x80;

// What a search reports of a file (the part of WIN32_FIND_DATAW the programs read).
struct FindData {
    uint32_t attributes = 0;
    char16_t fileName[kMaxPath] = {};
};

namespace file {

// GetSystemWindowsDirectoryW: the length without terminator when it fits in size units, else the
// size needed with terminator; 0 on failure.
uint32_t GetSystemWindowsDirectory(char16_t* buffer, uint32_t size);
// FindFirstFileW / FindNextFileW / FindClose: the files matching pattern ("*" and "?" in the last
// component, compared without regard to case). FindNextFile fails with kErrorNoMoreFiles at the end.
HFind FindFirstFile(const char16_t* pattern, FindData* data);
bool FindNextFile(HFind find, FindData* data);
bool FindClose(HFind find);
// GetFullPathNameW: as GetSystemWindowsDirectory for its result; *filePart (may be null) points
// into buffer at the last component.
uint32_t GetFullPathName(const char16_t* fileName, uint32_t bufferLength, char16_t* buffer, char16_t** filePart);
// GetFileAttributesW: kInvalidFileAttributes with the last error set when there is no such file.
uint32_t GetFileAttributes(const char16_t* fileName);

}  // namespace file
}  // namespace qv
