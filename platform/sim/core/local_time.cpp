// The local-time port on Linux: the host's time zone (TZ), as the simulated machine has none.
#include "qv/platform/local_time.h"

namespace qv::clk {

bool LocalTime(std::time_t when, std::tm* local) {
    return localtime_r(&when, local) != nullptr;
}

}  // namespace qv::clk
