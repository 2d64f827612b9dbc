// The output-file port on Windows. CreateFile does not wait on a pipe or a device (a busy pipe
// fails at once); GetFileType then keeps disk files only, and the C runtime adopts the handle.
#include "qv/platform/output_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

namespace qv::file {
namespace {

std::FILE* AdoptRegularFile(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_BINARY);
    if (fd == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "ab");
    if (file == nullptr) {
        _close(fd);
    }
    return file;
}

// As _wfopen opens: others may read and write the file meanwhile.
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

}  // namespace

std::FILE* OpenForAppend(std::u16string_view path) {
    if (path.empty()) {
        return nullptr;
    }
    const std::wstring name(path.begin(), path.end());
    return AdoptRegularFile(CreateFileW(name.c_str(), GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::FILE* OpenForAppend(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return nullptr;
    }
    return AdoptRegularFile(
        CreateFileA(path, GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace qv::file
