// The console port on Windows: the C runtime's _isatty on the stream's descriptor, and wide output
// to console windows.
#include "qv/platform/console.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "qv/platform/utf.h"

namespace qv::console {
namespace {

// The console window behind the stream, or null when the stream goes to a file, a pipe or the null
// device (_isatty is true for the null device too; GetConsoleMode only for a console).
HANDLE ConsoleOf(std::FILE* stream) {
    const intptr_t os = _get_osfhandle(_fileno(stream));
    if (os == -1) return nullptr;
    HANDLE handle = reinterpret_cast<HANDLE>(os);
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// WriteConsoleW in pieces: old consoles refuse single writes above about 64 KiB.
bool WriteWide(HANDLE console, const std::u16string& text) {
    constexpr size_t kPiece = 8192;
    for (size_t at = 0; at < text.size();) {
        DWORD count = static_cast<DWORD>(std::min(kPiece, text.size() - at));
        // Keep a surrogate pair together.
        if (count > 1 && at + count < text.size() && (text[at + count - 1] & 0xFC00) == 0xD800) --count;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + at, count, &written, nullptr) || written == 0) return false;
        at += written;
    }
    return true;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && _isatty(_fileno(stream)) != 0;
}

void WriteText(std::FILE* stream, std::string_view utf8) {
    HANDLE console = ConsoleOf(stream);
    if (console != nullptr) {
        // What the stream holds goes out first, so that the two kinds of output stay in order.
        std::fflush(stream);
        std::u16string wide;
        if (!ToUtf16KeepingSurrogates(utf8, &wide)) wide = ToUtf16(utf8);
        if (WriteWide(console, wide)) return;
        // A console that refuses wide output (rare) still gets the bytes.
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

}  // namespace qv::console
