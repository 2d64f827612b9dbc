// The file-system port on Windows: kernel32 pass-throughs.
#include "qv/platform/files.h"

#include <windows.h>
// The port's names are windows.h's macros for the W calls; the port means its own functions.
#undef GetSystemWindowsDirectory
#undef FindFirstFile
#undef FindNextFile
#undef GetFullPathName
#undef GetFileAttributes

#include <algorithm>
#include <cstddef>

namespace qv::file {
namespace {

static_assert(kMaxPath == MAX_PATH && kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(sizeof(FindData::fileName) == sizeof(WIN32_FIND_DATAW::cFileName));
static_assert(kErrorNoMoreFiles == ERROR_NO_MORE_FILES && kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kErrorInvalidName == ERROR_INVALID_NAME);

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

void Copy(const WIN32_FIND_DATAW& native, FindData* data) {
    data->attributes = native.dwFileAttributes;
    static_assert(sizeof(native.cFileName) / sizeof(native.cFileName[0]) == kMaxPath);
    std::copy(native.cFileName, native.cFileName + kMaxPath, data->fileName);
}

}  // namespace

uint32_t GetSystemWindowsDirectory(char16_t* buffer, uint32_t size) {
    return GetSystemWindowsDirectoryW(reinterpret_cast<wchar_t*>(buffer), size);
}

HFind FindFirstFile(const char16_t* pattern, FindData* data) {
    WIN32_FIND_DATAW native;
    HANDLE find = FindFirstFileW(Wide(pattern), &native);
    if (find == INVALID_HANDLE_VALUE) return kInvalidFind;
    Copy(native, data);
    return reinterpret_cast<HFind>(find);
}

bool FindNextFile(HFind find, FindData* data) {
    WIN32_FIND_DATAW native;
    if (!FindNextFileW(reinterpret_cast<HANDLE>(find), &native)) return false;
    Copy(native, data);
    return true;
}

bool FindClose(HFind find) {
    return ::FindClose(reinterpret_cast<HANDLE>(find)) != FALSE;
}

uint32_t GetFullPathName(const char16_t* fileName, uint32_t bufferLength, char16_t* buffer,
                         char16_t** filePart) {
    return GetFullPathNameW(Wide(fileName), bufferLength, reinterpret_cast<wchar_t*>(buffer),
                            reinterpret_cast<wchar_t**>(filePart));
}

uint32_t GetFileAttributes(const char16_t* fileName) {
    return GetFileAttributesW(Wide(fileName));
}

}  // namespace qv::file
