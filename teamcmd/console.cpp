#include "console.h"

#include <cstdarg>
#include <cstdio>

#include "narrow_format.h"
#include "qv/platform/console.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd {
namespace {

std::string* g_capture = nullptr;

}  // namespace

void PrintText(const std::string& text) {
    if (g_capture != nullptr) {
        g_capture->append(text);
        return;
    }
    console::WriteText(stdout, text);
}

void PrintNarrow(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = VFormatNarrow(format, args);
    va_end(args);
    PrintText(text);
}

void PrintWide(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::u16string text = U16VFormat(format, args);
    va_end(args);
    PrintText(ToUtf8(text));
}

void PrintError(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::u16string text = U16VFormat(format, args);
    va_end(args);
    if (g_capture != nullptr) {
        g_capture->append(ToUtf8(text));
        return;
    }
    std::fflush(stdout);
    console::WriteText(stderr, ToUtf8(text));
}

ConsoleCapture::ConsoleCapture() {
    g_capture = &text_;
}
ConsoleCapture::~ConsoleCapture() {
    g_capture = nullptr;
}

}  // namespace qv::teamcmd
