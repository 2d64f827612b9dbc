// The thread's last error on the simulated host, as Windows keeps it per thread.
#include "qv/platform/wintypes.h"

namespace qv {
namespace {
thread_local uint32_t g_lastError = 0;
}

uint32_t GetLastError() {
    return g_lastError;
}
void SetLastError(uint32_t error) {
    g_lastError = error;
}

}  // namespace qv
