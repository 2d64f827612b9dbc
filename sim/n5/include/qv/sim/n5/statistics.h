// The driver statistics the simulated bus driver reports through functions 10 to 17, and the
// chip's clear-on-read data-path pipeline counters behind the indirect pair 0x78/0x7C. Each
// statistics record is kept as the image the driver answers with (little-endian, byte for byte),
// so that qvsim can set any field of it; the request's input fields are not part of the image.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

constexpr uint32_t kStatsPorts = 2;
constexpr uint32_t kStatsQsets = 8;
constexpr uint32_t kPipelineCounters = 34;  // indirect addresses 0 to 33
constexpr uint32_t kOffloadConnections = 16;

// Record sizes of functions 10 to 16.
constexpr uint32_t kPortLinkBytes = 16;
constexpr uint32_t kMacStatsBytes = 368;
constexpr uint32_t kQsetStatsBytes = 608;
constexpr uint32_t kInterruptStatsBytes = 1512;
constexpr uint32_t kIpStatsBytes = 104;
constexpr uint32_t kTcpStatsBytes = 112;
constexpr uint32_t kOffloadStatsBytes = 320;
constexpr uint32_t kConnectionBytes = 16;

// Fields of the images that the simulator and qvsim set by name.
constexpr uint32_t kPortLinkSpeed = 4;          // u32: 0 10 Mb/s .. 3 10 Gb/s
constexpr uint32_t kPortLinkDuplex = 8;         // u32: 0 half, 1 full
constexpr uint32_t kPortLinkStatus = 12;        // u32: nonzero up
constexpr uint32_t kMacAddress = 4;             // 6 bytes
constexpr uint32_t kInterruptQsetCount = 184;   // u32, at most 8
constexpr uint32_t kOffloadPortCount = 60;      // u32, at most 2
constexpr uint32_t kOffloadFunctionCount = 72;  // u32[2], at most 3 each

// One offloaded connection of function 17.
struct OffloadConnection {
    uint32_t tid;  // 0xFFFFFFFF: no socket
    uint8_t mac[6];
    uint8_t reserved[2];
};

struct Statistics {
    uint8_t portLink[kStatsPorts][kPortLinkBytes];
    uint8_t mac[kStatsPorts][kMacStatsBytes];
    uint8_t qset[kStatsQsets][kQsetStatsBytes];
    uint8_t interrupts[kInterruptStatsBytes];
    uint8_t ip[kIpStatsBytes];
    uint8_t tcp[kTcpStatsBytes];
    uint8_t offload[kOffloadStatsBytes];
    OffloadConnection connections[kOffloadConnections];
    uint32_t pipeline[kPipelineCounters];  // clear on read
    uint32_t reserved;
};

// Plausible power-on contents: two 10 Gb/s ports with link, traffic on both, four active queue
// sets, offload connections on port 0's functions, pipeline counters of that traffic.
void PowerOnStatistics(Statistics* stats);

// The read of indirect address `address` when it is a pipeline counter: the value, which then
// clears. False for other addresses.
bool ReadPipelineCounter(Statistics* stats, uint32_t address, uint32_t* value);
// A write of indirect address `address` when it is a pipeline counter: sets the counter. False for
// other addresses.
bool WritePipelineCounter(Statistics* stats, uint32_t address, uint32_t value);

}  // namespace qv::sim::n5
