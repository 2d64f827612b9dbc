// qvsim's commands for the adapter's informational state: versions, the driver's trace, the
// queue-set parameters and the port identification requests.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

// args: the words after "info", "versions" or "trace". Each returns the exit status.
int RunInfoCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);
int RunVersionsCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);
int RunTraceCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);

}  // namespace qvsim
