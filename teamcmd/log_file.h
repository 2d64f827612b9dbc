// The log file of QvTeamCmd. Each flow that logs opens the file, writes one burst of lines and
// closes it again. The file is only ever appended to. Lines are stored as UTF-8 with "\r\n" line
// ends on every platform, so a log written on Linux is byte for byte the one Windows writes.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "command_record.h"

namespace qv::teamcmd {

// Opens the record's log file name for appending (created when missing). Null when it cannot be
// opened or is not a regular file (a FIFO or a device is refused at once, never waited on); the
// calling flow then ends the run with QV_LOG_FILE_UNAVAILABLE.
std::FILE* OpenLogFile(const CommandRecord& record);

// "\n============================\n", the local time in the ctime form of the Windows C runtime
// ("Tue Dec 08 00:05:42 2026\n"), "============================\n".
// 1 when written; 0 for a null stream or a time that cannot be formatted.
int WriteLogHeader(std::FILE* log);
int WriteLogHeaderAt(std::FILE* log, std::time_t when);

// 1 when a stream was closed, 0 for null. A failing close is only traced.
int CloseLogFile(std::FILE* log);

// printf-style writes, narrow resp. UTF-16 format (conventions of U16Format), with "\n" stored as
// "\r\n". False when the stream is null or the write failed; the caller then ends its burst.
bool LogPrint(std::FILE* log, const char* format, ...);
bool LogPrintWide(std::FILE* log, const char16_t* format, ...);
// The same with the arguments as a va_list.
bool LogVPrintWide(std::FILE* log, const char16_t* format, va_list args);

}  // namespace qv::teamcmd
