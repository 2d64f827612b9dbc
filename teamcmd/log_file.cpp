#include "log_file.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <string>

#include "console.h"
#include "narrow_format.h"
#include "qv/platform/local_time.h"
#include "qv/platform/output_file.h"
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

// The local time as the Windows C runtime's ctime writes it, so that logs written on any platform
// read the same: "Tue Dec 08 00:05:42 2026\n" (24 characters and a line feed, the day of the month
// zero-padded).
bool FormatCtime(std::time_t when, std::string* text) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (!clk::LocalTime(when, &local)) {
        return false;
    }
    const int year = local.tm_year + 1900;
    if (local.tm_wday < 0 || local.tm_wday > 6 || local.tm_mon < 0 || local.tm_mon > 11 || year < 1970 ||
        year > 9999) {
        return false;
    }
    char line[32];
    std::snprintf(line, sizeof line, "%s %s %02d %02d:%02d:%02d %d\n", kDays[local.tm_wday],
                  kMonths[local.tm_mon], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, year);
    *text = line;
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
    // A FIFO or a device is refused without waiting, as a file that cannot be opened.
    std::FILE* log = file::OpenForAppend(std::u16string_view(record.logFileName, length));
    if (log == nullptr) {
        QvTrace(u"<--OpenLogFile: cannot open %s (or not a regular file)\n", record.logFileName);
        PrintError(u"The log file %s cannot be opened.\n", record.logFileName);
    }
    return log;
}

int WriteLogHeaderAt(std::FILE* log, std::time_t when) {
    if (log == nullptr) {
        return 0;
    }
    std::string timeLine;
    if (!FormatCtime(when, &timeLine)) {
        QvTrace(u"<--WriteLogHeader: time cannot be formatted\n");
        return 0;
    }
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
    va_list args;
    va_start(args, format);
    const bool written = LogVPrintWide(log, format, args);
    va_end(args);
    return written;
}

bool LogVPrintWide(std::FILE* log, const char16_t* format, va_list args) {
    if (log == nullptr) {
        return false;
    }
    return WriteTextMode(log, ToUtf8(U16VFormat(format, args)));
}

}  // namespace qv::teamcmd
