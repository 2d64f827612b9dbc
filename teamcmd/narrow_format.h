// vsnprintf into a std::string, for the narrow prints of the console and the log.
#pragma once

#include <cstdarg>
#include <string>

namespace qv::teamcmd {

std::string VFormatNarrow(const char* format, va_list args);

}  // namespace qv::teamcmd
