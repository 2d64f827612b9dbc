// qvsim's commands for the adapter's informational state: versions, the driver's trace, the
// queue-set parameters and the port identification requests.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

// args: the words after "info", "versions" or "trace" (command names that word). Returns the exit
// status.
int RunInfoCommand(qv::sim::n5::Adapter& adapter, const char* command, std::span<char* const> args);
bool IsInfoCommand(const char* command);

}  // namespace qvsim
