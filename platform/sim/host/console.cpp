// The console port on Linux.
#include "qv/platform/console.h"

#include <unistd.h>

namespace qv::console {

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && isatty(fileno(stream)) == 1;
}

}  // namespace qv::console
