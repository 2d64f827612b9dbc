// The console port on Windows: the C runtime's _isatty on the stream's descriptor.
#include "qv/platform/console.h"

#include <io.h>

namespace qv::console {

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && _isatty(_fileno(stream)) != 0;
}

}  // namespace qv::console
