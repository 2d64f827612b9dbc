// qvsim's commands on a simulated adapter's connection state: the stored TCBs, work-request
// contexts and STag entries, and the TP logic analyser.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

// args: the words after "mem". Returns the exit status.
int RunMemCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);
// args: the words after "la". Returns the exit status.
int RunLaCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);

}  // namespace qvsim
