// The thread's last error: Windows' own.
#include <windows.h>

#include "qv/platform/wintypes.h"

namespace qv {

uint32_t GetLastError() {
    return ::GetLastError();
}
void SetLastError(uint32_t error) {
    ::SetLastError(error);
}

}  // namespace qv
