// The field layout of the driver's statistics records (functions 10 to 16) as the simulated bus
// driver answers them: little-endian, packed, the request's input field first. The power-on
// contents are built in these structures, and qvsim sets a field by the name the statistics
// reports print for it, from the name tables below.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "qv/sim/n5/statistics.h"

namespace qv::sim::n5 {

static_assert(std::endian::native == std::endian::little, "the images are kept in host byte order");

#pragma pack(push, 1)

// Function 10.
struct PortLinkImage {
    uint32_t port;
    uint32_t speed;       // 0 10 Mb/s, 1 100 Mb/s, 2 1 Gb/s, 3 10 Gb/s
    uint32_t duplex;      // 0 half, 1 full
    uint32_t linkStatus;  // nonzero: up
};

// The totals of one direction of a MAC.
struct MacTotals {
    uint64_t octets;
    uint64_t frames;
    uint64_t ucastBytes;
    uint64_t mcastFrames;
    uint64_t mcastBytes;
    uint64_t bcastFrames;
    uint64_t bcastBytes;
    uint64_t goodFrames;
};

constexpr uint32_t kFrameSizeBuckets = 7;  // 64, 65-127, ..., 1024-1518, 1519-max

// Function 11.
struct MacStatsImage {
    uint32_t port;
    uint8_t address[6];
    uint8_t reserved[6];
    MacTotals tx;
    uint64_t txPause;
    uint64_t txUnderrun;
    uint64_t txBadFrames;
    uint64_t txFrameSizes[kFrameSizeBuckets];
    MacTotals rx;
    uint64_t rxPause;
    uint64_t rxFcsErrs;
    uint64_t rxJabber;
    uint64_t rxShort;
    uint64_t rxTooLong;
    uint64_t rxBadFrames;
    uint64_t rxFrameSizes[kFrameSizeBuckets];
    uint64_t txFifoUrun;
    uint64_t rxFifoOvfl;
    uint64_t serdesSignalLoss;
    uint64_t xauiPcsCtcErr;
    uint64_t xauiPcsAlignChange;
};

// The queues of a queue set (function 12).
struct TunnelQueueStats {
    uint32_t size, credits, pidx, cidx, reserved;
    uint64_t posted, complete, gts, doorBells, full, discards, vlanDiscards;
};
struct OffloadQueueStats {
    uint32_t size, credits, pidx, cidx;
    uint64_t posted, complete, gts, doorBells, full;
};
struct FreeListStats {
    uint32_t bufSize, size, credits, cidx, sCidx, qSize, qCredits, qCidx, qPidx, reserved;
    uint64_t used, spills, spillOflo, spillUflo, softXon, softXoff, inStack, tunDiscards, gts, doorBells,
        empty;
};
struct ResponseQueueStats {
    uint32_t size, credits, cidx, iCidx, iSidx, qSize, qCredits, qCidx, qPidx, reserved;
    uint64_t used, spills, spillsOflo, spillsUflo, softXon, softXoff, inStack, holdoffTmr, serviced, tunCreds,
        cmdCreds, ctrlCreds, tunRxPkts, toeRxPkts, empty;
};

// Function 12.
struct QsetStatsImage {
    uint32_t qset;
    TunnelQueueStats tunnel;
    OffloadQueueStats command;
    OffloadQueueStats control;
    FreeListStats freeList[2];
    ResponseQueueStats response;
};

constexpr uint32_t kInterruptCounters = 23;  // intrs .. LoPiDbEmpty
constexpr uint32_t kInterruptQsetArrays = 19;

// Function 13.
struct InterruptStatsImage {
    uint64_t counters[kInterruptCounters];
    uint32_t qsetCount;  // at most kStatsQsets
    uint32_t dpcCpu[kStatsQsets];
    uint32_t reserved;
    uint64_t qsetId[kStatsQsets];
    uint64_t perQset[kInterruptQsetArrays][kStatsQsets];
    uint64_t linkDownMacResets;
};

// Functions 14 and 15.
struct IpStatsImage {
    uint64_t counters[13];
};
struct TcpStatsImage {
    uint64_t counters[14];
};

constexpr uint32_t kOffloadCounters = 15;  // atid_rd_index .. fwd_qfull
constexpr uint32_t kOffloadFunctionArrays = 10;
constexpr uint32_t kOffloadMaxFunctions = 3;

// Function 16.
struct OffloadStatsImage {
    uint32_t counters[kOffloadCounters];
    uint32_t portCount;  // at most kStatsPorts
    uint32_t portId[kStatsPorts];
    uint32_t functionCount[kStatsPorts];  // at most kOffloadMaxFunctions each
    uint32_t perFunction[kOffloadFunctionArrays][kStatsPorts][kOffloadMaxFunctions];
};

#pragma pack(pop)

static_assert(sizeof(PortLinkImage) == kPortLinkBytes);
static_assert(sizeof(MacStatsImage) == kMacStatsBytes);
static_assert(sizeof(QsetStatsImage) == kQsetStatsBytes);
static_assert(sizeof(InterruptStatsImage) == kInterruptStatsBytes);
static_assert(sizeof(IpStatsImage) == kIpStatsBytes);
static_assert(sizeof(TcpStatsImage) == kTcpStatsBytes);
static_assert(sizeof(OffloadStatsImage) == kOffloadStatsBytes);
static_assert(offsetof(PortLinkImage, speed) == kPortLinkSpeed &&
              offsetof(PortLinkImage, duplex) == kPortLinkDuplex &&
              offsetof(PortLinkImage, linkStatus) == kPortLinkStatus);
static_assert(offsetof(MacStatsImage, address) == kMacAddress);
static_assert(offsetof(InterruptStatsImage, qsetCount) == kInterruptQsetCount);
static_assert(offsetof(OffloadStatsImage, portCount) == kOffloadPortCount &&
              offsetof(OffloadStatsImage, functionCount) == kOffloadFunctionCount);

// A field that qvsim sets by name: the name the reports print (the first line of that name) and
// where the field lies in its record.
struct StatsField {
    std::string_view name;
    uint32_t offset;
    uint32_t width;  // 4 or 8
};

extern const std::span<const StatsField> kMacStatsFields;
extern const std::span<const StatsField> kQsetStatsFields;
extern const std::span<const StatsField> kInterruptStatsFields;
extern const std::span<const StatsField> kIpStatsFields;
extern const std::span<const StatsField> kTcpStatsFields;
extern const std::span<const StatsField> kOffloadStatsFields;
// The field of that name; null when none has it.
const StatsField* FindStatsField(std::span<const StatsField> fields, std::string_view name);

// The pipeline counters' names, by indirect address.
extern const std::span<const std::string_view> kPipelineCounterNames;

}  // namespace qv::sim::n5
