// Opening a file the tool writes (converted source, EEPROM dumps). The name comes from the command
// line, so only a regular file is replaced or a new one created: a FIFO (opening it would wait for
// a reader), a device or a directory is refused without being opened.
#pragma once

#include <cstdio>

namespace qv::qvtool {

// fopen(path, mode) when nothing has that name yet or it is a regular file; null otherwise, or
// when the file cannot be opened.
std::FILE* OpenOutputFile(const char* path, const char* mode);

}  // namespace qv::qvtool
