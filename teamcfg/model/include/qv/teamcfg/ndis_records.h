// The NDIS answers the property pages read from a network adapter (IOCTL_NDIS_QUERY_GLOBAL_STATS),
// laid out once as the driver writes them (little-endian, natural alignment), and the parsers that
// turn an answer into the page's records. Every answer is outside input: the parsers read only the
// bytes the driver returned, never past them, and stop on anything malformed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qv::cfg {

// NDIS 5: OID_TCP_TASK_OFFLOAD answers NDIS_TASK_OFFLOAD_HEADER followed by a chain of
// NDIS_TASK_OFFLOAD entries, each with its task buffer.
struct NdisTaskOffloadHeader {
    uint32_t version;  // 1
    uint32_t size;     // sizeof(NdisTaskOffloadHeader)
    uint32_t reserved;
    uint32_t offsetFirstTask;  // from the header's first byte; 0: no task
    uint32_t encapsulation;    // NDIS_ENCAPSULATION_FORMAT.Encapsulation
    uint32_t encapsulationFlags;
    uint32_t encapsulationHeaderSize;
};
static_assert(sizeof(NdisTaskOffloadHeader) == 28);
static_assert(offsetof(NdisTaskOffloadHeader, offsetFirstTask) == 12);
static_assert(offsetof(NdisTaskOffloadHeader, encapsulation) == 16);
static_assert(offsetof(NdisTaskOffloadHeader, encapsulationFlags) == 20);

struct NdisTaskOffload {
    uint32_t version;
    uint32_t size;
    uint32_t task;            // kNdisTask*
    uint32_t offsetNextTask;  // from this entry's first byte; 0: last task
    uint32_t taskBufferLength;
    // The task buffer follows.
};
static_assert(sizeof(NdisTaskOffload) == 20);
static_assert(offsetof(NdisTaskOffload, offsetNextTask) == 12);
static_assert(offsetof(NdisTaskOffload, taskBufferLength) == 16);

// Task buffers.
struct NdisTaskTcpIpChecksum {
    uint32_t v4Transmit, v4Receive, v6Transmit, v6Receive;
};
static_assert(sizeof(NdisTaskTcpIpChecksum) == 16);

struct NdisTaskTcpLargeSend {
    uint32_t version;
    uint32_t maxOffloadSize;
    uint32_t minSegmentCount;
    uint8_t tcpOptions;
    uint8_t ipOptions;
};
static_assert(offsetof(NdisTaskTcpLargeSend, tcpOptions) == 12);
static_assert(offsetof(NdisTaskTcpLargeSend, ipOptions) == 13);
constexpr uint32_t kLargeSendBufferUsed = 14;  // the bytes of the large send buffer that are read

constexpr uint32_t kNdisTaskChecksum = 0;
constexpr uint32_t kNdisTaskIpsec = 1;
constexpr uint32_t kNdisTaskLargeSend = 2;
constexpr uint32_t kNdisTaskToe = 3;  // this adapter family's TCP connection offload

constexpr uint32_t kNdisEncapsulationIeee8023 = 2;
constexpr uint32_t kNdisFixedHeaderSizeFlag = 1;
// The size of the answer buffer the query hands the driver.
constexpr uint32_t kTaskOffload5BufferSize = 216;
// A chain longer than this is not a driver's answer: the walk ends there.
constexpr int kMaxOffloadTasks = 16;

// The offload capabilities of the NDIS 5 form, as the General page uses them.
struct DeviceCaps5 {
    uint32_t checksum[4];  // IPv4 transmit, IPv4 receive (5 bits), IPv6 transmit, IPv6 receive (4 bits)
    uint32_t maxOffloadSize;
    uint32_t minSegmentCount;
    uint8_t tcpOptions;
    uint8_t ipOptions;
    uint8_t ipsecPresent;
    uint8_t toePresent;
};

// NDIS 6: NDIS_OBJECT_HEADER and NDIS_OFFLOAD.
struct NdisObjectHeader {
    uint8_t type;
    uint8_t revision;
    uint16_t size;
};
static_assert(sizeof(NdisObjectHeader) == 4);
constexpr uint8_t kNdisObjectTypeOffload = 0xA7;
constexpr uint8_t kNdisOffloadRevision1 = 1;

struct NdisChecksumPart {
    uint32_t encapsulation;
    uint32_t bits;  // 2-bit support fields
};
struct NdisLsoV1 {
    uint32_t encapsulation;
    uint32_t maxOffloadSize;
    uint32_t minSegmentCount;
    uint32_t optionBits;
};
struct NdisIpsecV1Supported {
    uint32_t encapsulation;
    uint32_t ahEspCombined;
    uint32_t transportTunnelCombined;
    uint32_t ipv4Options;
    uint32_t flags;
};
struct NdisLsoV2Ipv4 {
    uint32_t encapsulation;
    uint32_t maxOffloadSize;
    uint32_t minSegmentCount;
};
struct NdisLsoV2Ipv6 {
    uint32_t encapsulation;
    uint32_t maxOffloadSize;
    uint32_t minSegmentCount;
    uint32_t optionBits;
};
struct NdisOffload {
    NdisObjectHeader header;
    NdisChecksumPart checksum[4];  // IPv4 transmit, IPv4 receive, IPv6 transmit, IPv6 receive
    NdisLsoV1 lsoV1;
    NdisIpsecV1Supported ipsecSupported;
    uint32_t ipsecV4Ah;
    uint32_t ipsecV4Esp;
    NdisLsoV2Ipv4 lsoV2Ipv4;
    NdisLsoV2Ipv6 lsoV2Ipv6;
    uint32_t flags;
};
static_assert(sizeof(NdisOffload) == 112);
static_assert(offsetof(NdisOffload, checksum) == 4);
static_assert(offsetof(NdisOffload, lsoV1) == 36);
static_assert(offsetof(NdisOffload, ipsecSupported) == 52);
static_assert(offsetof(NdisOffload, ipsecV4Ah) == 72);
static_assert(offsetof(NdisOffload, ipsecV4Esp) == 76);
static_assert(offsetof(NdisOffload, lsoV2Ipv4) == 80);
static_assert(offsetof(NdisOffload, lsoV2Ipv6) == 92);
static_assert(offsetof(NdisOffload, flags) == 108);
constexpr uint32_t kTaskOffload6BufferSize = sizeof(NdisOffload);

// The offload capabilities of the NDIS 6 form, as the General page uses them.
struct DeviceCaps6 {
    NdisChecksumPart checksum[4];
    NdisLsoV1 lsoV1;
    uint32_t lsoV2Ipv4Encapsulation;
    uint32_t lsoV2Ipv4MaxOffloadSize;
    uint32_t lsoV2Ipv4MinSegmentCount;
    NdisLsoV2Ipv6 lsoV2Ipv6;
    NdisIpsecV1Supported ipsecSupported;
    uint32_t ipsecV4Ah;
    uint32_t ipsecV4Esp;
};

// NDIS 6 TCP connection offload: object header, then four words.
struct NdisConnectionOffload {
    NdisObjectHeader header;
    uint32_t encapsulation;
    uint32_t supportBits;  // IPv4, IPv6, IPv6 extension headers, SACK: 2 bits each
    uint32_t capacity;
    uint32_t flags;
};
static_assert(sizeof(NdisConnectionOffload) == 20);
static_assert(offsetof(NdisConnectionOffload, encapsulation) == 4);
static_assert(offsetof(NdisConnectionOffload, capacity) == 12);
constexpr uint32_t kConnectionOffloadBufferSize = sizeof(NdisConnectionOffload);

struct ConnectionOffloadCaps {
    uint32_t encapsulation;
    uint32_t supportBits;
    uint32_t capacity;
    uint32_t flags;
};

// The header the NDIS 5 query hands the driver: version 1, its size, IEEE 802.3 with a fixed
// header size. Writes it at the start of buffer (at least sizeof(NdisTaskOffloadHeader) bytes).
void PrepareTaskOffloadHeader(std::span<uint8_t> buffer);

// answer: the bytes the driver returned. False when there is no first task or it lies outside
// the answer; else true with out filled from the tasks of the chain, which ends at an offset of 0,
// at a task that does not lie wholly inside the answer, or after kMaxOffloadTasks tasks. Tasks
// whose buffer is too short for what is read of them are skipped.
bool ParseTaskOffload5(std::span<const uint8_t> answer, DeviceCaps5* out);

// False when the answer is shorter than its object header, its type is not 0xA7 or its revision
// not 1; else true with out filled (bytes the driver did not return count as 0).
bool ParseTaskOffload6(std::span<const uint8_t> answer, DeviceCaps6* out);

// The four words after the object header (bytes not returned count as 0).
void ParseConnectionOffload(std::span<const uint8_t> answer, ConnectionOffloadCaps* out);

}  // namespace qv::cfg
