#include "qv/sim/kill_switch.h"

#include <csignal>
#include <cstdlib>

namespace qv::sim {

KillSwitch::KillSwitch(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') return;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(value, &end, 10);
    if (*end == '\0') limit_ = parsed;
}

void KillSwitch::Count() {
    if (limit_ != 0 && ++counted_ == limit_) std::raise(SIGKILL);
}

}  // namespace qv::sim
