// The power-on statistics of the simulated adapter and the clear-on-read pipeline counters.
#include "qv/sim/n5/statistics.h"

#include <cstring>

#include "request_record.h"

namespace qv::sim::n5 {
namespace {

// A direction's MAC counters from its frame count: first the octets, frames, unicast bytes,
// multicast frames and bytes, broadcast frames and bytes and good frames at base, base + 8, ...;
// the seven frame-size buckets at buckets.
struct Direction {
    uint32_t base;
    uint32_t buckets;
    uint64_t frames;
    uint64_t badFrames;
};

// Shares of the frame-size buckets (64, 65-127, 128-255, 256-511, 512-1023, 1024-1518), percent;
// frames over 1518 bytes: none.
constexpr uint64_t kBucketPercent[] = {34, 21, 6, 4, 5, 30};
constexpr uint64_t kBucketMeanBytes[] = {64, 96, 190, 380, 760, 1400};

void FillDirection(uint8_t* mac, const Direction& d) {
    uint64_t octets = 0;
    uint64_t counted = 0;
    for (size_t i = 0; i < std::size(kBucketPercent); ++i) {
        const uint64_t frames =
            i + 1 < std::size(kBucketPercent) ? d.frames * kBucketPercent[i] / 100 : d.frames - counted;
        counted += frames;
        octets += frames * kBucketMeanBytes[i];
        Put64(mac + d.buckets + 8 * i, frames);
    }
    const uint64_t mcastFrames = d.frames / 1500;
    const uint64_t bcastFrames = d.frames / 40000 + 3;
    Put64(mac + d.base, octets);
    Put64(mac + d.base + 8, d.frames);
    Put64(mac + d.base + 16, octets - mcastFrames * 96 - bcastFrames * 64);
    Put64(mac + d.base + 24, mcastFrames);
    Put64(mac + d.base + 32, mcastFrames * 96);
    Put64(mac + d.base + 40, bcastFrames);
    Put64(mac + d.base + 48, bcastFrames * 64);
    Put64(mac + d.base + 56, d.frames - d.badFrames);
}

void PowerOnPort(Statistics* s, uint32_t port) {
    uint8_t* link = s->portLink[port];
    Put32(link + kPortLinkSpeed, 3);   // 10 Gb/s
    Put32(link + kPortLinkDuplex, 1);  // full
    Put32(link + kPortLinkStatus, 1);  // up
    uint8_t* mac = s->mac[port];
    const uint8_t address[6] = {0x02, 0x5A, 0x5A, 0x00, 0x05, static_cast<uint8_t>(0x10 + port)};
    std::memcpy(mac + kMacAddress, address, sizeof address);
    const uint64_t scale = port == 0 ? 2 : 1;
    FillDirection(mac, {16, 104, 921635 * scale, 0});
    FillDirection(mac, {160, 272, 1105227 * scale, 2});
    Put64(mac + 232, 2);  // rx_fcs_errs
    Put64(mac + 264, 2);  // rx_bad_frames: those two
    Put64(mac + 360, 1);  // xaui_pcs_align_change: once, at link up
}

// Queue set q: sizes and indexes of its queues, with traffic in proportion to its number.
struct QsetField {
    uint16_t offset;
    uint8_t width;  // 4 or 8
    uint64_t base;
    uint64_t perQset;
};
constexpr QsetField kQsetFields[] = {
    {4, 4, 1024, 0},        {8, 4, 1012, 0},        {12, 4, 268, 17},   {16, 4, 256, 17},  // tunnel
    {24, 8, 402118, 1093},  {32, 8, 402106, 1093},  {40, 8, 3350, 9},   {48, 8, 35117, 91},
    {80, 4, 512, 0},        {84, 4, 512, 0},        {88, 4, 40, 3},     {92, 4, 40, 3},  // command
    {96, 8, 2088, 31},      {104, 8, 2088, 31},     {112, 8, 17, 0},    {120, 8, 2088, 31},
    {136, 4, 256, 0},       {140, 4, 256, 0},       {144, 4, 6, 0},     {148, 4, 6, 0},  // control
    {152, 8, 6, 0},         {160, 8, 6, 0},         {176, 8, 6, 0},     {192, 4, 2048, 0},
    {196, 4, 4096, 0},      {200, 4, 4080, 0},      {204, 4, 1771, 61},  // free list 0
    {208, 4, 1771, 61},     {212, 4, 4096, 0},      {216, 4, 4080, 0},  {220, 4, 1771, 61},
    {224, 4, 1755, 61},     {232, 8, 551263, 977},  {296, 8, 2210, 7},  {304, 8, 34455, 61},
    {320, 4, 9216, 0},      {324, 4, 1024, 0},      {328, 4, 1020, 0},  {332, 4, 37, 1},  // free list 1
    {336, 4, 37, 1},        {340, 4, 1024, 0},      {344, 4, 1020, 0},  {348, 4, 37, 1},
    {352, 4, 33, 1},        {360, 8, 3109, 11},     {432, 8, 195, 1},   {448, 4, 1024, 0},
    {452, 4, 1016, 0},      {456, 4, 733, 29},      {460, 4, 733, 29},  // response queue
    {464, 4, 731, 29},      {468, 4, 1024, 0},      {472, 4, 1016, 0},  {476, 4, 733, 29},
    {480, 4, 735, 29},      {488, 8, 958340, 2070}, {544, 8, 50, 0},    {552, 8, 958340, 2070},
    {560, 8, 402106, 1093}, {568, 8, 2088, 31},     {576, 8, 6, 0},     {584, 8, 551263, 977},
    {592, 8, 3109, 11},
};
constexpr uint32_t kActiveQsets = 4;

void PowerOnQset(uint8_t* record, uint32_t q) {
    for (const QsetField& f : kQsetFields) {
        const uint64_t value = f.base + f.perQset * q;
        if (f.width == 8) {
            Put64(record + f.offset, value);
        } else {
            Put32(record + f.offset, static_cast<uint32_t>(value));
        }
    }
}

// Global interrupt counters (offsets 0 to 176) and the per-queue-set arrays (array k at 288 + 64 k).
constexpr uint64_t kInterruptCounters[] = {1988251, 2117, 311, 1961077, 2083, 4410, 1960770, 2079, 4, 0, 0, 0,
                                           0,       0,    27,  27,      0,    0,    0,       12,   9, 0, 0};
constexpr uint64_t kQsetArrayBase[] = {490315, 515,  488210, 512, 100533, 107, 276204, 291, 0, 38,
                                       64,     1204, 1,      17,  0,      0,   0,      0,   0};

void PowerOnInterrupts(uint8_t* record) {
    for (size_t i = 0; i < std::size(kInterruptCounters); ++i) Put64(record + 8 * i, kInterruptCounters[i]);
    Put32(record + kInterruptQsetCount, kActiveQsets);
    for (uint32_t q = 0; q < kActiveQsets; ++q) {
        Put32(record + 188 + 4 * q, q);  // each queue set's DPCs on its own CPU
        Put64(record + 224 + 8 * q, q);  // queue-set identifier
        for (size_t k = 0; k < std::size(kQsetArrayBase); ++k) {
            const uint64_t v = kQsetArrayBase[k] == 0 ? 0 : kQsetArrayBase[k] + 37 * q;
            Put64(record + 288 + 64 * k + 8 * q, v);
        }
    }
    Put64(record + 1504, 1);  // link_down_mac_resets
}

constexpr uint64_t kIpCounters[] = {2210454, 0, 3, 0, 0, 2210451, 1843270, 0, 0, 0, 14, 7, 0};
constexpr uint64_t kTcpCounters[] = {118, 41, 2, 5, 9, 12, 2208330, 1841115, 377, 0, 200, 64000, 0, 0};

// Offload: the connection-table indexes and counts (offsets 0 to 56), two ports, port 0 with
// two functions, port 1 with one.
constexpr uint32_t kOffloadCounters[] = {42, 42, 0, 8192, 13, 13, 0, 16384, 12, 96, 97, 1, 5311, 5311, 0};
constexpr uint32_t kFunctionCounts[kStatsPorts] = {2, 1};
constexpr uint32_t kFunctionArrayBase[] = {1024, 4, 1024, 3, 8192, 6, 1024, 33, 2801, 2801};

void PowerOnOffload(uint8_t* record) {
    for (size_t i = 0; i < std::size(kOffloadCounters); ++i) Put32(record + 4 * i, kOffloadCounters[i]);
    Put32(record + kOffloadPortCount, kStatsPorts);
    for (uint32_t p = 0; p < kStatsPorts; ++p) {
        Put32(record + 64 + 4 * p, p);
        Put32(record + kOffloadFunctionCount + 4 * p, kFunctionCounts[p]);
        for (uint32_t f = 0; f < kFunctionCounts[p]; ++f) {
            for (size_t k = 0; k < std::size(kFunctionArrayBase); ++k) {
                const uint32_t v = k % 2 == 0 ? kFunctionArrayBase[k] : kFunctionArrayBase[k] / (p + f + 1);
                Put32(record + 80 + 24 * k + 12 * p + 4 * f, v);
            }
        }
    }
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
    for (size_t i = 0; i < std::size(kIpCounters); ++i) Put64(s->ip + 8 * i, kIpCounters[i]);
    for (size_t i = 0; i < std::size(kTcpCounters); ++i) Put64(s->tcp + 8 * i, kTcpCounters[i]);
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
