// The facts the property pages read from a network adapter through its device "\\.\{GUID}" with
// IOCTL_NDIS_QUERY_GLOBAL_STATS: the input is the 4-byte OID, the output the OID's value.
#pragma once

#include <cstdint>

#include "qv/platform/guid.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/ndis_records.h"

namespace qv::cfg {

constexpr uint32_t kIoctlNdisQueryGlobalStats = 0x00170002;

constexpr uint32_t kOidCurrentAddress = 0x01010102;
constexpr uint32_t kOidPermanentAddress = 0x01010101;
constexpr uint32_t kOidLinkSpeed = 0x00010107;
constexpr uint32_t kOidMediaConnectStatus = 0x00010114;
constexpr uint32_t kOidMaximumFrameSize = 0x00010106;
constexpr uint32_t kOidTcpTaskOffload = 0xFC010201;
constexpr uint32_t kOidTaskOffload6 = 0xFC01020B;
constexpr uint32_t kOidConnectionOffload6 = 0xFC01020E;

// The statistics page's rows: display name and OID, in page order.
struct StatisticsRow {
    const char16_t* name;
    uint32_t oid;
};
extern const StatisticsRow kStatisticsTable[kStatisticsRows];
// Rows 1 to 11 are general, 12 to 21 Ethernet statistics.
constexpr int kGeneralStatisticsRows = 11;

// Opens the adapter whose NetCfgInstanceId is guid for queries (no access, shared read and write,
// existing only); invalid when it cannot be opened.
ScopedDevice OpenAdapterDevice(const Guid& guid);

// One OID into out (size bytes). True with *returned the length the driver wrote (at most size);
// false with the system's last error set when the request fails.
bool QueryOid(HDevice device, uint32_t oid, void* out, uint32_t size, uint32_t* returned);

struct DeviceProperties {
    uint8_t currentAddress[6];
    uint8_t permanentAddress[6];
    uint64_t linkSpeed;  // units of 100 bit/s
    uint32_t mediaConnectStatus;
};

// The four queries in order; false at the first that fails (out is zeroed first).
bool GetDeviceProperties(HDevice device, DeviceProperties* out);
// Every row's OID into values[row]; a failed query leaves its value. Always true.
bool GetDeviceStatistics(HDevice device, uint64_t (&values)[kStatisticsRows]);
// OID_GEN_MAXIMUM_FRAME_SIZE; false when the query fails.
bool GetDeviceMTU(HDevice device, uint32_t* mtu);
// The NDIS 5 task offload query (ParseTaskOffload5). False with the query's last error kept when
// the query fails; false with last error 0 when the answer holds no task.
bool QvGetDeviceCaps(HDevice device, DeviceCaps5* out);
// The NDIS 6 task offload query (ParseTaskOffload6).
bool QvGetDeviceCaps60(HDevice device, DeviceCaps6* out);
// The NDIS 6 connection offload query.
bool QvGetDeviceConnectionOffloadCaps(HDevice device, ConnectionOffloadCaps* out);

}  // namespace qv::cfg
