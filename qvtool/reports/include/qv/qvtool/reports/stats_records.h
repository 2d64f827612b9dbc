// The statistics records of functions 10 to 17: one fixed little-endian record each, handed to the
// driver as input and output buffer. Fields that a report prints line by line are placed by the
// line tables (report_tables.h); the structures name the fields the reports read one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "qv/qvtool/transport.h"

namespace qv::qvtool {

#pragma pack(push, 1)

// Function 10: port and link.
struct PortLinkRecord {
    uint32_t port;        // input
    uint32_t speed;       // 0 10 Mb/s, 1 100 Mb/s, 2 1 Gb/s, 3 10 Gb/s
    uint32_t duplex;      // 0 half, 1 full
    uint32_t linkStatus;  // nonzero: up
};

constexpr size_t kMacCounterCount = 44;

// Function 11: MAC statistics of a port.
struct MacStatsRecord {
    uint32_t port;  // input
    uint8_t address[6];
    uint8_t reserved[6];
    uint64_t counters[kMacCounterCount];
};

// Function 12: queue-set statistics; the fields after the number are placed by the line table.
struct QsetStatsRecord {
    uint32_t qset;  // input
    uint8_t fields[604];
};

constexpr size_t kIntrGlobalCounterCount = 23;  // offsets 0 to 176
constexpr uint32_t kIntrMaxQsets = 8;
constexpr size_t kIntrPerQsetArrayCount = 19;

// Function 13: interrupt statistics, global and per queue set.
struct InterruptStatsRecord {
    uint64_t counters[kIntrGlobalCounterCount];
    uint32_t qsetCount;  // at most kIntrMaxQsets
    uint32_t dpcCpu[kIntrMaxQsets];
    uint32_t reserved;
    uint64_t qsetId[kIntrMaxQsets];
    uint64_t perQset[kIntrPerQsetArrayCount][kIntrMaxQsets];
    uint64_t linkDownMacResets;
};

// Function 14: IP statistics (13 counters, no input).
struct IpStatsRecord {
    uint64_t counters[13];
};

// Function 15: TCP statistics (14 counters, no input).
struct TcpStatsRecord {
    uint64_t counters[14];
};

constexpr size_t kToeGlobalCounterCount = 15;  // offsets 0 to 56
constexpr uint32_t kToeMaxPorts = 2;
constexpr uint32_t kToeMaxFunctions = 3;
constexpr size_t kToePerFunctionArrayCount = 10;

// Function 16: offload statistics, global and per port function.
struct OffloadStatsRecord {
    uint32_t counters[kToeGlobalCounterCount];
    uint32_t portCount;  // at most kToeMaxPorts
    uint32_t portId[kToeMaxPorts];
    uint32_t functionCount[kToeMaxPorts];  // at most kToeMaxFunctions each
    uint32_t perFunction[kToePerFunctionArrayCount][kToeMaxPorts][kToeMaxFunctions];
};

constexpr uint32_t kNoSocketTid = 0xFFFFFFFF;

// Function 17: one offloaded connection.
struct ConnectionStatsRecord {
    uint32_t connection;  // input
    uint32_t tid;         // input: the -s index; output: the socket TID or kNoSocketTid
    uint8_t address[6];
    uint8_t reserved[2];
};

#pragma pack(pop)

static_assert(sizeof(PortLinkRecord) == 16);
static_assert(offsetof(PortLinkRecord, speed) == 4 && offsetof(PortLinkRecord, duplex) == 8);
static_assert(offsetof(PortLinkRecord, linkStatus) == 12);
static_assert(sizeof(MacStatsRecord) == 368);
static_assert(offsetof(MacStatsRecord, address) == 4 && offsetof(MacStatsRecord, counters) == 16);
static_assert(sizeof(QsetStatsRecord) == 608);
static_assert(sizeof(InterruptStatsRecord) == 1512);
static_assert(offsetof(InterruptStatsRecord, qsetCount) == 184);
static_assert(offsetof(InterruptStatsRecord, dpcCpu) == 188);
static_assert(offsetof(InterruptStatsRecord, qsetId) == 224);
static_assert(offsetof(InterruptStatsRecord, perQset) == 288);
static_assert(offsetof(InterruptStatsRecord, linkDownMacResets) == 1504);
static_assert(sizeof(IpStatsRecord) == 104);
static_assert(sizeof(TcpStatsRecord) == 112);
static_assert(sizeof(OffloadStatsRecord) == 320);
static_assert(offsetof(OffloadStatsRecord, portCount) == 60);
static_assert(offsetof(OffloadStatsRecord, portId) == 64);
static_assert(offsetof(OffloadStatsRecord, functionCount) == 72);
static_assert(offsetof(OffloadStatsRecord, perFunction) == 80);
static_assert(sizeof(ConnectionStatsRecord) == 16);
static_assert(offsetof(ConnectionStatsRecord, tid) == 4 && offsetof(ConnectionStatsRecord, address) == 8);

// IP record fields the pipeline diagram reads.
constexpr size_t kIpInReceive = 0;
constexpr size_t kIpInDelivers = 5;
constexpr size_t kIpOutRequests = 6;
// MAC counters the pipeline diagram reads (indexes into MacStatsRecord::counters).
constexpr size_t kMacTxFrames = 1;   // offset 24
constexpr size_t kMacRxFrames = 19;  // offset 168

// A record's bytes, for the line tables.
template <typename Record>
std::span<const uint8_t> RecordBytes(const Record& record) {
    return {reinterpret_cast<const uint8_t*>(&record), sizeof record};
}

// Sends one statistics request with the record as input and output buffer; true on success.
template <typename Record>
bool RequestRecord(HDevice device, IoFunction function, Record* record) {
    return SendRequest(device, function, record, sizeof *record, record, sizeof *record);
}

}  // namespace qv::qvtool
