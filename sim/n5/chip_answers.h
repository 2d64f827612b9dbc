// The bus driver's answers about on-chip state: queue contexts (function 9), the TP tables
// (functions 18 to 24) and descriptors (function 30); and the behaviours of the CIM logic
// analyser's control word and the CIM queue debug registers.
#pragma once

#include "request_record.h"

namespace qv::sim::n5 {

int32_t QueueContextRead(Adapter& adapter, const Request& request);
// Table t (0 to 6, function 18 + t).
int32_t TpTableRead(Adapter& adapter, const Request& request, uint32_t table);
int32_t DescriptorRead(Adapter& adapter, const Request& request);

// A CIM queue-space word was written through the host-access window.
void CimWordWritten(StateFile* state, uint32_t address);
// The queue debug registers: true when offset is one of them.
bool IsQueueDebugRegister(uint32_t offset);
bool QueueDebugRead(StateFile* state, uint32_t offset, uint32_t* value);
bool QueueDebugWrite(StateFile* state, uint32_t offset, uint32_t value);

}  // namespace qv::sim::n5
