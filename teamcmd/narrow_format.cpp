#include "narrow_format.h"

#include <cstdio>

namespace qv::teamcmd {

std::string VFormatNarrow(const char* format, va_list args) {
    va_list count;
    va_copy(count, args);
    const int length = std::vsnprintf(nullptr, 0, format, count);
    va_end(count);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace qv::teamcmd
