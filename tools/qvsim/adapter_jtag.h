// qvsim's JTAG commands on a simulated adapter: the board's chain, what its devices received.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

// args: the words after "jtag". Returns the exit status.
int RunJtagCommand(qv::sim::n5::Adapter& adapter, std::span<char* const> args);

}  // namespace qvsim
