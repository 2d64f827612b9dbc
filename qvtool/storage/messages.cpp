#include "messages.h"

#include <cstdarg>
#include <cstdio>

namespace qv::qvtool {

void AppendFormat(std::string* message, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        const size_t start = message->size();
        message->resize(start + static_cast<size_t>(length) + 1);
        std::vsnprintf(message->data() + start, static_cast<size_t>(length) + 1, format, again);
        message->resize(start + static_cast<size_t>(length));
    }
    va_end(again);
}

}  // namespace qv::qvtool
