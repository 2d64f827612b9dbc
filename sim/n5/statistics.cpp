// The power-on statistics of the simulated adapter and the clear-on-read pipeline counters.
#include "qv/sim/n5/statistics.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "qv/sim/n5/statistics_layout.h"

namespace qv::sim::n5 {
namespace {

// Shares of the frame-size buckets (64, 65-127, 128-255, 256-511, 512-1023, 1024-1518), percent;
// frames over 1518 bytes: none.
constexpr uint64_t kBucketPercent[] = {34, 21, 6, 4, 5, 30};
constexpr uint64_t kBucketMeanBytes[] = {64, 96, 190, 380, 760, 1400};

// A direction's MAC counters from its frame count.
void FillDirection(MacTotals* totals, uint64_t (&buckets)[kFrameSizeBuckets], uint64_t frames, uint64_t bad) {
    uint64_t octets = 0;
    uint64_t counted = 0;
    for (size_t i = 0; i < std::size(kBucketPercent); ++i) {
        const uint64_t n = i + 1 < std::size(kBucketPercent) ? frames * kBucketPercent[i] / 100 : frames - counted;
        counted += n;
        octets += n * kBucketMeanBytes[i];
        buckets[i] = n;
    }
    const uint64_t mcastFrames = frames / 1500;
    const uint64_t bcastFrames = frames / 40000 + 3;
    *totals = {.octets = octets,
               .frames = frames,
               .ucastBytes = octets - mcastFrames * 96 - bcastFrames * 64,
               .mcastFrames = mcastFrames,
               .mcastBytes = mcastFrames * 96,
               .bcastFrames = bcastFrames,
               .bcastBytes = bcastFrames * 64,
               .goodFrames = frames - bad};
}

template <typename Image>
void Keep(uint8_t* record, const Image& image) {
    std::memcpy(record, &image, sizeof image);
}

void PowerOnPort(Statistics* s, uint32_t port) {
    Keep(s->portLink[port], PortLinkImage{.port = 0, .speed = 3, .duplex = 1, .linkStatus = 1});  // 10 Gb/s, full
    MacStatsImage mac{};
    const uint8_t address[6] = {0x02, 0x5A, 0x5A, 0x00, 0x05, static_cast<uint8_t>(0x10 + port)};
    std::memcpy(mac.address, address, sizeof address);
    const uint64_t scale = port == 0 ? 2 : 1;
    FillDirection(&mac.tx, mac.txFrameSizes, 921635 * scale, 0);
    FillDirection(&mac.rx, mac.rxFrameSizes, 1105227 * scale, 2);
    mac.rxFcsErrs = 2;
    mac.rxBadFrames = 2;         // those two
    mac.xauiPcsAlignChange = 1;  // once, at link up
    Keep(s->mac[port], mac);
}

// Queue set q: sizes and indexes of its queues, with traffic in proportion to its number.
void PowerOnQset(uint8_t* record, uint32_t q) {
    const auto u32 = [q](uint32_t base, uint32_t perQset) { return base + perQset * q; };
    const auto u64 = [q](uint64_t base, uint64_t perQset) { return base + perQset * q; };
    QsetStatsImage r{};
    r.tunnel = {.size = 1024, .credits = 1012, .pidx = u32(268, 17), .cidx = u32(256, 17), .reserved = 0,
                .posted = u64(402118, 1093), .complete = u64(402106, 1093), .gts = u64(3350, 9),
                .doorBells = u64(35117, 91), .full = 0, .discards = 0, .vlanDiscards = 0};
    r.command = {.size = 512, .credits = 512, .pidx = u32(40, 3), .cidx = u32(40, 3), .posted = u64(2088, 31),
                 .complete = u64(2088, 31), .gts = 17, .doorBells = u64(2088, 31), .full = 0};
    r.control = {.size = 256, .credits = 256, .pidx = 6, .cidx = 6, .posted = 6, .complete = 6, .gts = 0,
                 .doorBells = 6, .full = 0};
    r.freeList[0] = {.bufSize = 2048, .size = 4096, .credits = 4080, .cidx = u32(1771, 61), .sCidx = u32(1771, 61),
                     .qSize = 4096, .qCredits = 4080, .qCidx = u32(1771, 61), .qPidx = u32(1755, 61),
                     .used = u64(551263, 977), .gts = u64(2210, 7), .doorBells = u64(34455, 61)};
    r.freeList[1] = {.bufSize = 9216, .size = 1024, .credits = 1020, .cidx = u32(37, 1), .sCidx = u32(37, 1),
                     .qSize = 1024, .qCredits = 1020, .qCidx = u32(37, 1), .qPidx = u32(33, 1),
                     .used = u64(3109, 11), .doorBells = u64(195, 1)};
    r.response = {.size = 1024, .credits = 1016, .cidx = u32(733, 29), .iCidx = u32(733, 29), .iSidx = u32(731, 29),
                  .qSize = 1024, .qCredits = 1016, .qCidx = u32(733, 29), .qPidx = u32(735, 29),
                  .used = u64(958340, 2070), .holdoffTmr = 50, .serviced = u64(958340, 2070),
                  .tunCreds = r.tunnel.complete, .cmdCreds = r.command.complete, .ctrlCreds = r.control.complete,
                  .tunRxPkts = r.freeList[0].used, .toeRxPkts = r.freeList[1].used};
    Keep(record, r);
}

// The global interrupt counters and the per-queue-set arrays.
constexpr uint64_t kInterruptPowerOn[kInterruptCounters] = {
    1988251, 2117, 311, 1961077, 2083, 4410, 1960770, 2079, 4, 0, 0, 0, 0, 0, 27, 27, 0, 0, 0, 12, 9, 0, 0};
constexpr uint64_t kQsetArrayBase[kInterruptQsetArrays] = {490315, 515, 488210, 512, 100533, 107, 276204,
                                                           291,    0,   38,     64,  1204,   1,   17,
                                                           0,      0,   0,      0,   0};
constexpr uint32_t kActiveQsets = 4;

void PowerOnInterrupts(uint8_t* record) {
    InterruptStatsImage r{};
    std::copy(std::begin(kInterruptPowerOn), std::end(kInterruptPowerOn), r.counters);
    r.qsetCount = kActiveQsets;
    for (uint32_t q = 0; q < kActiveQsets; ++q) {
        r.dpcCpu[q] = q;  // each queue set's DPCs on its own CPU
        r.qsetId[q] = q;
        for (size_t k = 0; k < kInterruptQsetArrays; ++k)
            r.perQset[k][q] = kQsetArrayBase[k] == 0 ? 0 : kQsetArrayBase[k] + 37 * q;
    }
    r.linkDownMacResets = 1;
    Keep(record, r);
}

constexpr IpStatsImage kIpPowerOn = {{2210454, 0, 3, 0, 0, 2210451, 1843270, 0, 0, 0, 14, 7, 0}};
constexpr TcpStatsImage kTcpPowerOn = {{118, 41, 2, 5, 9, 12, 2208330, 1841115, 377, 0, 200, 64000, 0, 0}};

// Offload: the connection-table indexes and counts, two ports, port 0 with two functions, port 1
// with one.
constexpr uint32_t kOffloadPowerOn[kOffloadCounters] = {42, 42, 0, 8192, 13, 13, 0, 16384,
                                                        12, 96, 97, 1, 5311, 5311, 0};
constexpr uint32_t kFunctionCounts[kStatsPorts] = {2, 1};
constexpr uint32_t kFunctionArrayBase[kOffloadFunctionArrays] = {1024, 4, 1024, 3, 8192, 6, 1024, 33, 2801, 2801};

void PowerOnOffload(uint8_t* record) {
    OffloadStatsImage r{};
    std::copy(std::begin(kOffloadPowerOn), std::end(kOffloadPowerOn), r.counters);
    r.portCount = kStatsPorts;
    for (uint32_t p = 0; p < kStatsPorts; ++p) {
        r.portId[p] = p;
        r.functionCount[p] = kFunctionCounts[p];
        for (uint32_t f = 0; f < kFunctionCounts[p]; ++f) {
            for (size_t k = 0; k < kOffloadFunctionArrays; ++k)
                r.perFunction[k][p][f] = k % 2 == 0 ? kFunctionArrayBase[k] : kFunctionArrayBase[k] / (p + f + 1);
        }
    }
    Keep(record, r);
}

// The pipeline counters: start and end of packet counts in pairs, data flit counts.
constexpr uint32_t kPipelinePowerOn[kPipelineCounters] = {
    0x1F40, 0x1F40, 0x1B22, 0x1B22, 0x0A10, 0x0A10, 0x1112, 0x1112, 0x0C31, 0x0C31, 0x0021, 0x0021,
    0x0007, 0x0007, 0x0C2A, 0x0C2A, 0x1F38, 0x1F38, 0x0310, 0x0310, 0x0002, 0x0C2A, 0x0C2A, 0x1F38,
    0x1F38, 0x7D00, 0x7CF0, 0x0800, 0x0040, 0x003E, 0x0010, 0x6C88, 0x6C80, 0x0800};

}  // namespace

void PowerOnStatistics(Statistics* s) {
    std::memset(s, 0, sizeof *s);
    for (uint32_t p = 0; p < kStatsPorts; ++p) PowerOnPort(s, p);
    for (uint32_t q = 0; q < kActiveQsets; ++q) PowerOnQset(s->qset[q], q);
    PowerOnInterrupts(s->interrupts);
    Keep(s->ip, kIpPowerOn);
    Keep(s->tcp, kTcpPowerOn);
    PowerOnOffload(s->offload);
    for (uint32_t c = 0; c < kOffloadConnections; ++c) {
        OffloadConnection& conn = s->connections[c];
        conn.tid = 0xFFFFFFFF;
        if (c < 4) {
            conn.tid = 0x40 + 3 * c;
            const uint8_t peer[6] = {0x02, 0x5A, 0x5A, 0x01, 0x00, static_cast<uint8_t>(0x20 + c)};
            std::memcpy(conn.mac, peer, sizeof peer);
        }
    }
    std::memcpy(s->pipeline, kPipelinePowerOn, sizeof kPipelinePowerOn);
}

bool ReadPipelineCounter(Statistics* s, uint32_t address, uint32_t* value) {
    if (address >= kPipelineCounters) return false;
    *value = s->pipeline[address];
    s->pipeline[address] = 0;
    return true;
}

bool WritePipelineCounter(Statistics* s, uint32_t address, uint32_t value) {
    if (address >= kPipelineCounters) return false;
    s->pipeline[address] = value;
    return true;
}

}  // namespace qv::sim::n5
