// The command flows that QvTeamCmd does not have yet: team creation, team removal, VLAN addition
// and VLAN deletion. Each prints nothing and answers QV_FLOW_NOT_AVAILABLE, so that a run never
// reports success for work it did not do.
#pragma once

#include <cstdint>

#include "command_record.h"

namespace qv::teamcmd {

constexpr uint32_t QV_FLOW_NOT_AVAILABLE = 0xCE0000FF;

uint32_t CreateTeamFlowNotAvailable(const CommandRecord& record);
uint32_t RemoveTeamsFlowNotAvailable(const CommandRecord& record);
uint32_t AddVlanFlowNotAvailable(const CommandRecord& record);
uint32_t DeleteVlansFlowNotAvailable(const CommandRecord& record);

}  // namespace qv::teamcmd
