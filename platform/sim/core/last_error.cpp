// The thread's last error on the simulated host, as Windows keeps it per thread.
#include "qv/platform/wintypes.h"

namespace qv {
namespace {
thread_local Win32Error g_lastError = 0;
}

Win32Error GetLastError() {
    return g_lastError;
}
void SetLastError(Win32Error error) {
    g_lastError = error;
}

}  // namespace qv
