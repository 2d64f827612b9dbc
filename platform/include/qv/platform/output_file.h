// Output-file port: the files the programs append to (QvTeamCmd's log, the trace file). Both names
// come from outside (the command line, the environment), so opening never waits and reaches regular
// files only: a FIFO, a device, a directory or a socket is refused at once instead of blocking the
// program or writing into something that is not a file.
#pragma once

#include <cstdio>
#include <string_view>

namespace qv::file {

// Opens the file for appending in binary mode (bytes are stored as written), creating it when
// missing and changing nothing already in it. Null when it cannot be opened or is not a regular
// file. path: a UTF-16 name (Windows' wide names; UTF-8 on the Linux file system).
std::FILE* OpenForAppend(std::u16string_view path);
// The same for a name in the C runtime's narrow encoding, as getenv returns it (UTF-8 on Linux, the
// ANSI code page on Windows). Null for a null or empty name.
std::FILE* OpenForAppend(const char* path);

}  // namespace qv::file
