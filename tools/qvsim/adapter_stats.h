// qvsim's statistics commands on a simulated adapter: links, offload functions, queue sets,
// connections and any counter of the driver's statistics records or the pipeline.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

// args: the words after "stats". Returns the exit status.
int RunStatsCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);

}  // namespace qvsim
