// qvsim's commands on a simulated adapter's on-chip state: SGE queue contexts, descriptors and the
// TP tables, as the bus driver answers them to qvtool -q, -Q and -t.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

// args: the words after the command's name. Each returns the exit status.
int RunContextCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);
int RunDescriptorCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);
int RunTableCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);

}  // namespace qvsim
