#include "log_file.h"

#include <cstdarg>
#include <string>

#include "narrow_format.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv::teamcmd {
namespace {

// What a text-mode stream does on Windows: every line feed becomes carriage return + line feed.
bool WriteTextMode(std::FILE* log, const std::string& text) {
    std::string stored;
    stored.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') {
            stored += '\r';
        }
        stored += c;
    }
    if (std::fwrite(stored.data(), 1, stored.size(), log) != stored.size()) {
        QvTrace(u"   LogFile: write failed\n");
        return false;
    }
    return true;
}

}  // namespace

std::FILE* OpenLogFile(const CommandRecord& record) {
    // The name is a UTF-16 array filled by the parser; it is terminated within its capacity, and an
    // unterminated one is refused rather than read past its end.
    size_t length = 0;
    if (!U16LengthWithin(record.logFileName, kCommandNameCapacity, &length) || length == 0) {
        QvTrace(u"<--OpenLogFile: no log file name\n");
        return nullptr;
    }
#ifdef _WIN32
    std::FILE* log = _wfopen(reinterpret_cast<const wchar_t*>(record.logFileName), L"ab");
#else
    std::FILE* log = std::fopen(ToUtf8(std::u16string_view(record.logFileName, length)).c_str(), "ab");
#endif
    if (log == nullptr) {
        QvTrace(u"<--OpenLogFile: cannot open %s\n", record.logFileName);
    }
    return log;
}

int WriteLogHeaderAt(std::FILE* log, std::time_t when) {
    if (log == nullptr) {
        return 0;
    }
    const char* text = std::ctime(&when);
    if (text == nullptr) {
        QvTrace(u"<--WriteLogHeader: ctime failed\n");
        return 0;
    }
    const std::string timeLine = text;
    if (!LogPrint(log, "\n============================\n") || !LogPrint(log, "%s", timeLine.c_str()) ||
        !LogPrint(log, "============================\n")) {
        return 0;
    }
    return 1;
}

int WriteLogHeader(std::FILE* log) {
    return WriteLogHeaderAt(log, std::time(nullptr));
}

int CloseLogFile(std::FILE* log) {
    if (log == nullptr) {
        return 0;
    }
    if (std::fclose(log) != 0) {
        QvTrace(u"   CloseLogFile: close failed\n");
    }
    return 1;
}

bool LogPrint(std::FILE* log, const char* format, ...) {
    if (log == nullptr) {
        return false;
    }
    va_list args;
    va_start(args, format);
    const std::string text = VFormatNarrow(format, args);
    va_end(args);
    return WriteTextMode(log, text);
}

bool LogPrintWide(std::FILE* log, const char16_t* format, ...) {
    if (log == nullptr) {
        return false;
    }
    va_list args;
    va_start(args, format);
    const std::u16string text = U16VFormat(format, args);
    va_end(args);
    return WriteTextMode(log, ToUtf8(text));
}

}  // namespace qv::teamcmd
