// The human form of `qvteam show`: the adapters, the teams and the VLANs, one block each, every
// fact on a labelled line.
#pragma once

#include <string>

#include "machine_state.h"

namespace qv::qvteam {

std::string ShowText(const MachineState& state);

}  // namespace qv::qvteam
