// Console port: whether a stream goes to a terminal, as the C runtime of each system tells it
// (_isatty on Windows, isatty on Linux). Programs show transient progress only on a terminal.
#pragma once

#include <cstdio>

namespace qv::console {

bool IsTerminal(std::FILE* stream);

}  // namespace qv::console
