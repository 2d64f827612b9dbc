// The NDIS facts a network adapter of the simulated host answers through its device "\\.\{GUID}"
// with IOCTL_NDIS_QUERY_GLOBAL_STATS. They live in the machine, one key per adapter below
// SOFTWARE\QvSim\Ndis\{NetCfgInstanceId}; a value that is missing takes the adapter's default, so
// qvsim changes single facts and a fresh machine needs no keys at all.
// For the simulated host, qvsim and the tests; the programs never include this header.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "qv/platform/wintypes.h"

namespace qv::sim {

inline constexpr std::u16string_view kSimNdisPath = u"SOFTWARE\\QvSim\\Ndis";

// Value names below the adapter's key (DWORD unless noted).
inline constexpr std::u16string_view kNdisLinkSpeed = u"LinkSpeed";              // units of 100 bit/s
inline constexpr std::u16string_view kNdisMediaConnect = u"MediaConnectStatus";  // 0 connected, 1 not
inline constexpr std::u16string_view kNdisMaxFrameSize = u"MaximumFrameSize";
inline constexpr std::u16string_view kNdisOffloadForm = u"OffloadForm";              // 5 or 6
inline constexpr std::u16string_view kNdisConnectionOffload = u"ConnectionOffload";  // 0 or 1
// Counters: REG_QWORD "Counter_XXXXXXXX" (the OID in 8 upper-case hex digits).

// OIDs the adapters answer.
inline constexpr uint32_t kOidCurrentAddress = 0x01010102;
inline constexpr uint32_t kOidPermanentAddress = 0x01010101;
inline constexpr uint32_t kOidLinkSpeed = 0x00010107;
inline constexpr uint32_t kOidMediaConnectStatus = 0x00010114;
inline constexpr uint32_t kOidMaximumFrameSize = 0x00010106;
inline constexpr uint32_t kOidTaskOffload5 = 0xFC010201;
inline constexpr uint32_t kOidTaskOffload6 = 0xFC01020B;
inline constexpr uint32_t kOidConnectionOffload6 = 0xFC01020E;
// The 21 statistics OIDs in the order of the adapter's statistics page. Each query answers the
// counter's value and then advances it by its step: the row number (1 for the first OID, 21 for
// the last), so a test knows every answer in advance.
inline constexpr uint32_t kStatisticsOids[21] = {
    0x00020101, 0x00020102, 0x00020103, 0x00020104, 0x00020202, 0x00020204, 0x00020206,
    0x00020208, 0x0002020A, 0x0002020C, 0x0002020D, 0x01020101, 0x01020203, 0x01020102,
    0x01020103, 0x01020201, 0x01020202, 0x01020204, 0x01020205, 0x01020206, 0x01020207};
// The step of a statistics OID; nullopt when oid is not one of them.
std::optional<uint32_t> StatisticsStep(uint32_t oid);

// IOCTL_NDIS_QUERY_GLOBAL_STATS: CTL_CODE(FILE_DEVICE_PHYSICAL_NETCARD, 0, METHOD_OUT_DIRECT,
// FILE_ANY_ACCESS).
inline constexpr uint32_t kIoctlNdisQueryGlobalStats = 0x00170002;

// Writes one fact (one of the kNdis* names) resp. one counter; false when the registry fails.
bool WriteNdisFact(std::u16string_view guid, std::u16string_view valueName, uint32_t value);
bool WriteNdisCounter(std::u16string_view guid, uint32_t oid, uint64_t value);

// What a device query needs of the adapter besides its stored facts.
struct NdisAdapter {
    std::u16string instanceId;
    std::u16string guid;
    std::u16string service;
    uint8_t permanentAddress[6] = {};
    uint8_t currentAddress[6] = {};
};

// Reads the adapter behind a network adapter's instance id; nullopt when it has no NetCfgInstanceId.
std::optional<NdisAdapter> ReadNdisAdapter(std::u16string_view instanceId);

// Answers one OID into out (outSize bytes); *written gets the answer's length. Statuses:
// kErrorNotSupported for an OID the adapter does not answer (the NDIS 5 task offload on an adapter
// of the NDIS 6 form and the NDIS 6 OIDs on one of the NDIS 5 form, too), kErrorInsufficientBuffer
// when outSize is below the answer's length (*written then holds the length needed).
Win32Error AnswerNdisQuery(const NdisAdapter& adapter, uint32_t oid, std::span<uint8_t> out,
                           uint32_t* written);

}  // namespace qv::sim
