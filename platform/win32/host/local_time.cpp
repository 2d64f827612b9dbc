// The local-time port on Windows: the C runtime's localtime_s.
#include "qv/platform/local_time.h"

namespace qv::clk {

bool LocalTime(std::time_t when, std::tm* local) {
    return localtime_s(local, &when) == 0;
}

}  // namespace qv::clk
