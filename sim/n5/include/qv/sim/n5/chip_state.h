// The simulated adapter's on-chip state that the bus driver and the CIM show: SGE queue contexts
// and descriptors, the transport processor's tables, the CIM logic analyser's capture and the
// contents of the CIM's queues, with the fault switches of their debug interfaces.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

// Egress contexts by id: 0-7 offload command queues, 8-15 tunnel queues, 0xFFF8-0xFFFF control
// queues (slots 16-23).
constexpr uint32_t kEgressContexts = 24;
constexpr uint32_t kFreeListContexts = 18;  // two per queue set, nine queue sets
constexpr uint32_t kResponseContexts = 8;
constexpr uint32_t kQsets = 8;
constexpr uint32_t kQueueKinds = 6;  // tun, toe, ctrl, rspq, flq1, flq2
constexpr uint32_t kDescriptorQueues = kQsets * kQueueKinds;
constexpr uint32_t kDescriptorSlots = 16;  // descriptors kept per queue
constexpr uint32_t kDescriptorBytes = 128;

// The TP tables of functions 18 to 24, by function number - 18.
constexpr uint32_t kTpTableCount = 7;
constexpr uint32_t kTpTableEntries[kTpTableCount] = {8, 512, 64, 16, 64, 64, 16};
constexpr const char* kTpTableNames[kTpTableCount] = {"pace", "cctrl", "tos", "mtu", "map", "lkp", "txmod"};
constexpr uint32_t kTpTableWords = 8 + 512 + 64 + 16 + 64 + 64 + 16;

constexpr uint32_t kCimLaWords = 512;
constexpr uint32_t kCimQueueEntries = 512;
constexpr uint32_t kCimInboundQueues = 4;
constexpr uint32_t kCimOutboundQueues = 3;

struct QueueContext {
    uint64_t f0;
    uint64_t f1;
};

struct Descriptor {
    uint32_t length;  // what the driver returns as the length; may exceed the data on purpose
    uint8_t data[kDescriptorBytes];
};

struct ChipFaults {
    uint32_t cimLaBusyStuck;       // 1: a logic-analyser read request never completes
    uint32_t queueDebugBusyStuck;  // 1: the queue debug registers stay busy
};

struct ChipState {
    QueueContext egress[kEgressContexts];
    QueueContext freeList[kFreeListContexts];
    QueueContext response[kResponseContexts];
    Descriptor descriptors[kDescriptorQueues][kDescriptorSlots];
    uint32_t tpTables[kTpTableWords];  // the seven tables one after the other
    uint32_t cimLa[kCimLaWords];
    uint32_t cimQueues[kCimInboundQueues + kCimOutboundQueues][kCimQueueEntries];  // inbound first
    ChipFaults faults;
    uint32_t lastContextType;  // the last context request answered, for tests and show
    uint32_t lastContextId;
};

// The context of a type (0-2 egress, which share one id space; 3 free list; 4 response queue) and
// id; null when no context of that type has that id.
QueueContext* FindQueueContext(ChipState& chip, uint32_t type, uint32_t id);
// The first word of table t (0 to 6) within tpTables.
uint32_t TpTableStart(uint32_t table);

// Power-on contents; cim is the CIM's address space (queue registers and analyser control).
void PowerOnChip(ChipState* chip, uint32_t* cim);

}  // namespace qv::sim::n5
