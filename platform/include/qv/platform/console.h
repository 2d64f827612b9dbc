// Console port: whether a stream goes to a terminal, as the C runtime of each system tells it
// (_isatty on Windows, isatty on Linux), and how text reaches it. Programs show transient progress
// only on a terminal.
#pragma once

#include <cstdio>
#include <string_view>

namespace qv::console {

bool IsTerminal(std::FILE* stream);

// Writes UTF-8 text to the stream and flushes it. On Windows a stream that is a console window gets
// the text as UTF-16 through WriteConsoleW, so that every name shows as it is whatever the console's
// code page; a redirected stream (file, pipe) and every stream on Linux get the UTF-8 bytes
// unchanged, without a byte order mark.
void WriteText(std::FILE* stream, std::string_view utf8);

}  // namespace qv::console
