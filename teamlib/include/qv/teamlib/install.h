// Installation and removal of the teaming driver's virtual adapters.
#pragma once

#include "qv/platform/devinst.h"

namespace qv {

// Removes a virtual adapter from the system: 1 removed, 0 failed. Not available yet in this
// build: traces that and answers 0.
int RemoveTeamDetails(HDevInfo set, DevInfoData* device);

}  // namespace qv
