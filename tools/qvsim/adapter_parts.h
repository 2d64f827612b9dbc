// qvsim's commands on parts of a simulated adapter's state, beside the registers, faults, flash and
// EEPROM of adapter_commands.cpp. args: the words after the command's name; each returns the exit
// status.
#pragma once

#include <span>

#include "qv/sim/n5/adapter.h"

namespace qvsim {

using Args = std::span<char* const>;

// On-chip state (adapter_chip.cpp): SGE queue contexts, descriptors and the TP tables, as the bus
// driver answers them to qvtool -q, -Q and -t.
int RunContextCommand(qv::sim::n5::Adapter& adapter, Args args);
int RunDescriptorCommand(qv::sim::n5::Adapter& adapter, Args args);
int RunTableCommand(qv::sim::n5::Adapter& adapter, Args args);
// Connection state (adapter_connection.cpp): the stored TCBs, work-request contexts and STag
// entries ("mem"), and the TP logic analyser ("la").
int RunMemCommand(qv::sim::n5::Adapter& adapter, Args args);
int RunLaCommand(qv::sim::n5::Adapter& adapter, Args args);
// Informational state (adapter_info.cpp): versions, the driver's trace, the queue-set parameters
// and the port identification requests.
int RunInfoCommand(qv::sim::n5::Adapter& adapter, Args args);
int RunVersionsCommand(qv::sim::n5::Adapter& adapter, Args args);
int RunTraceCommand(qv::sim::n5::Adapter& adapter, Args args);
// The board's JTAG chain and what its devices received (adapter_jtag.cpp).
int RunJtagCommand(qv::sim::n5::Adapter& adapter, Args args);
// Statistics (adapter_stats.cpp): links, offload functions, queue sets, connections and any counter
// of the driver's statistics records or the pipeline.
int RunStatsCommand(qv::sim::n5::Adapter& adapter, Args args);

}  // namespace qvsim
