// NDIS queries on a network adapter's device path.
#include "qv/teamcfg/device_queries.h"

#include <cstring>

#include "qv/platform/deviceio.h"
#include "qv/platform/utf.h"
#include "qv/platform/wintypes.h"
#include "qv/teamlib/team_store.h"

namespace qv::cfg {
namespace {

constexpr uint32_t kFileShareRead = 1;
constexpr uint32_t kFileShareWrite = 2;

}  // namespace

const StatisticsRow kStatisticsTable[kStatisticsRows] = {
    {u"Frames Transmitted OK", 0x00020101},
    {u"Frames Received OK", 0x00020102},
    {u"Transmitted Error Frames", 0x00020103},
    {u"Received Error Frames", 0x00020104},
    {u"Directed Frames Transmitted", 0x00020202},
    {u"Multicast Frames Transmitted", 0x00020204},
    {u"Broadcast Frames Transmitted", 0x00020206},
    {u"Directed Frames Received", 0x00020208},
    {u"Multicast Frames Received", 0x0002020A},
    {u"Broadcast Frames Received", 0x0002020C},
    {u"Received CRC Error Frames", 0x0002020D},
    {u"Received Alignment Error Frames", 0x01020101},
    {u"Receive Overrun Frames", 0x01020203},
    {u"Transmit One Collision Frames", 0x01020102},
    {u"Transmit More Collision Frames", 0x01020103},
    {u"Transmit Deferred Frames", 0x01020201},
    {u"Transmit Excessive Collision Frames", 0x01020202},
    {u"Transmit Underrun Frames", 0x01020204},
    {u"Transmit Heartbeat Failure Frames", 0x01020205},
    {u"Transmit CRS Signal Lost", 0x01020206},
    {u"Transmit Late Collisions", 0x01020207},
};

ScopedDevice OpenAdapterDevice(const Guid& guid) {
    const std::u16string guidString = GuidToString(guid);
    const OwnedU16 path = AddWin32DevicePrefix(guidString.c_str());
    if (!path) return ScopedDevice();
    const std::string narrow = ToUtf8(path.get());
    return ScopedDevice(
        io::CreateFileA(narrow.c_str(), 0, kFileShareRead | kFileShareWrite, kOpenExisting, 0));
}

bool QueryOid(HDevice device, uint32_t oid, void* out, uint32_t size, uint32_t* returned) {
    uint32_t written = 0;
    if (!io::DeviceIoControl(device, kIoctlNdisQueryGlobalStats, &oid, sizeof oid, out, size, &written))
        return false;
    // A driver cannot have written more than the buffer; never trust a length past it.
    *returned = written < size ? written : size;
    return true;
}

bool GetDeviceProperties(HDevice device, DeviceProperties* out) {
    *out = DeviceProperties{};
    uint32_t returned = 0;
    return QueryOid(device, kOidCurrentAddress, out->currentAddress, sizeof out->currentAddress, &returned) &&
           QueryOid(device, kOidPermanentAddress, out->permanentAddress, sizeof out->permanentAddress,
                    &returned) &&
           QueryOid(device, kOidLinkSpeed, &out->linkSpeed, sizeof out->linkSpeed, &returned) &&
           QueryOid(device, kOidMediaConnectStatus, &out->mediaConnectStatus, sizeof out->mediaConnectStatus,
                    &returned);
}

bool GetDeviceStatistics(HDevice device, uint64_t (&values)[kStatisticsRows]) {
    for (int row = 0; row < kStatisticsRows; ++row) {
        uint64_t value = 0;
        uint32_t returned = 0;
        if (QueryOid(device, kStatisticsTable[row].oid, &value, sizeof value, &returned)) values[row] = value;
    }
    return true;
}

bool GetDeviceMTU(HDevice device, uint32_t* mtu) {
    uint32_t value = 0;
    uint32_t returned = 0;
    if (!QueryOid(device, kOidMaximumFrameSize, &value, sizeof value, &returned)) return false;
    *mtu = value;
    return true;
}

bool QvGetDeviceCaps(HDevice device, DeviceCaps5* out) {
    *out = DeviceCaps5{};
    uint8_t buffer[kTaskOffload5BufferSize] = {};
    PrepareTaskOffloadHeader(buffer);
    uint32_t returned = 0;
    if (!QueryOid(device, kOidTcpTaskOffload, buffer, sizeof buffer, &returned)) return false;
    if (ParseTaskOffload5(std::span<const uint8_t>(buffer, returned), out)) return true;
    SetLastError(kErrorSuccess);
    return false;
}

bool QvGetDeviceCaps60(HDevice device, DeviceCaps6* out) {
    *out = DeviceCaps6{};
    uint8_t buffer[kTaskOffload6BufferSize] = {};
    uint32_t returned = 0;
    if (!QueryOid(device, kOidTaskOffload6, buffer, sizeof buffer, &returned)) return false;
    return ParseTaskOffload6(std::span<const uint8_t>(buffer, returned), out);
}

bool QvGetDeviceConnectionOffloadCaps(HDevice device, ConnectionOffloadCaps* out) {
    *out = ConnectionOffloadCaps{};
    uint8_t buffer[kConnectionOffloadBufferSize] = {};
    uint32_t returned = 0;
    if (!QueryOid(device, kOidConnectionOffload6, buffer, sizeof buffer, &returned)) return false;
    ParseConnectionOffload(std::span<const uint8_t>(buffer, returned), out);
    return true;
}

}  // namespace qv::cfg
