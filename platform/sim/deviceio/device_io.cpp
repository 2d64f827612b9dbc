// Opening a device by its path and sending it I/O-control requests, on the simulated host: a
// bus-driver interface path maps the state file of the simulated adapter behind it; a network
// adapter's path "\\.\{NetCfgInstanceId}" opens the adapter for NDIS queries (qv/sim/ndis_adapter.h).
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/platform/security.h"
#include "qv/platform/utf.h"
#include "qv/sim/bus_device.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/device_database.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/kill_switch.h"
#include "qv/sim/ndis_adapter.h"
#include "qv/sim/reg_key.h"

namespace qv::io {
namespace {

using sim::FailWith;

// What a device handle refers to: the mapped state of the simulated adapter behind a bus-driver
// path, or the network adapter behind an NDIS device path (then adapter is null).
struct OpenDevice : sim::HandleObject {
    static constexpr sim::HandleKind kKind = sim::HandleKind::kDevice;
    explicit OpenDevice(std::unique_ptr<sim::BusDevice> opened) : adapter(std::move(opened)) {}
    explicit OpenDevice(sim::NdisAdapter opened) : network(std::move(opened)) {}
    std::unique_ptr<sim::BusDevice> adapter;
    std::optional<sim::NdisAdapter> network;
};

std::atomic<sim::OpenBusDevice> g_busDriver{nullptr};

constexpr uint32_t kBusDriverDeviceType = 0x6800;
constexpr uint32_t kMethodBuffered = 0;
// No request of the bus driver comes near this; larger buffers are refused, not allocated.
constexpr uint32_t kMaxBufferSize = 1u << 20;

// "\\.\{GUID}": the GUID part, or "" when path is not of that form.
constexpr std::string_view kWin32DevicePrefix = "\\\\.\\";
std::string NetworkAdapterGuid(const char* path) {
    const std::string_view text(path);
    if (text.size() <= kWin32DevicePrefix.size() || !text.starts_with(kWin32DevicePrefix)) return {};
    const std::string_view guid = text.substr(kWin32DevicePrefix.size());
    Guid parsed{};
    return GuidFromString(ToUtf16(guid), &parsed) ? std::string(guid) : std::string();
}

// Opens a present, enabled network adapter by its NetCfgInstanceId. An unknown or absent adapter
// has no device object: ERROR_FILE_NOT_FOUND. A disabled one has its device object removed as
// well, so it fails the same way.
HDevice OpenNetworkAdapter(const std::string& guid) {
    const auto instance = sim::FindDeviceByNetCfgInstanceId(ToUtf16(guid));
    if (!instance || !sim::IsDevicePresent(*instance) || sim::IsDeviceDisabled(*instance))
        return FailWith(kErrorFileNotFound, kInvalidDevice);
    auto adapter = sim::ReadNdisAdapter(*instance);
    if (!adapter) return FailWith(kErrorFileNotFound, kInvalidDevice);
    return sim::NewHandle<OpenDevice, HDevice>(std::make_unique<OpenDevice>(std::move(*adapter)));
}

// IOCTL_NDIS_QUERY_GLOBAL_STATS on a network adapter: the input is the 4-byte OID. Other codes are
// invalid device requests (ERROR_INVALID_FUNCTION). A short output buffer fails with
// ERROR_INSUFFICIENT_BUFFER and nothing returned.
bool QueryNetworkAdapter(const sim::NdisAdapter& adapter, uint32_t ioControlCode, const void* inBuffer,
                         uint32_t inBufferSize, void* outBuffer, uint32_t outBufferSize,
                         uint32_t* bytesReturned) {
    if (ioControlCode != sim::kIoctlNdisQueryGlobalStats) return FailWith(kErrorInvalidFunction);
    if (inBuffer == nullptr || inBufferSize < 4 || (outBufferSize != 0 && outBuffer == nullptr))
        return FailWith(kErrorInvalidParameter);
    uint32_t oid = 0;
    std::memcpy(&oid, inBuffer, 4);
    uint32_t written = 0;
    const Win32Error status = sim::AnswerNdisQuery(
        adapter, oid, std::span<uint8_t>(static_cast<uint8_t*>(outBuffer), outBufferSize), &written);
    if (status != kErrorSuccess) return FailWith(status);
    if (bytesReturned != nullptr) *bytesReturned = written;
    return true;
}

}  // namespace

HDevice CreateFileA(const char* path, uint32_t, uint32_t, uint32_t creationDisposition, uint32_t) {
    if (path == nullptr || creationDisposition != kOpenExisting)
        return FailWith(kErrorInvalidParameter, kInvalidDevice);
    if (const std::string guid = NetworkAdapterGuid(path); !guid.empty()) return OpenNetworkAdapter(guid);
    std::vector<sim::BusDriverInterface> interfaces;
    const int32_t status = sim::ListBusDriverInterfaces(true, &interfaces);
    if (status != kErrorSuccess) return FailWith(status, kInvalidDevice);
    const auto match = std::find_if(
        interfaces.begin(), interfaces.end(),
        [path](const sim::BusDriverInterface& i) { return sim::EqualsIgnoreCase(i.symbolicLink, path); });
    if (match == interfaces.end()) return FailWith(kErrorFileNotFound, kInvalidDevice);
    const std::u16string instance(match->deviceInstance.begin(), match->deviceInstance.end());
    // A disabled device's interfaces are not enabled: its path does not open.
    if (sim::IsDeviceDisabled(instance)) return FailWith(kErrorFileNotFound, kInvalidDevice);
    if (const uint32_t injected = sim::ReadDeviceState(instance, sim::kStateOpenFails).value_or(0);
        injected != 0)
        return FailWith(injected, kInvalidDevice);
    // The bus driver's device object admits administrators only, as its security descriptor says.
    if (bool member = true; sec::CheckAdministratorsMembership(&member) && !member)
        return FailWith(kErrorAccessDenied, kInvalidDevice);
    const sim::OpenBusDevice open = g_busDriver;
    if (open == nullptr) return FailWith(kErrorFileNotFound, kInvalidDevice);
    int32_t error = kErrorSuccess;
    auto adapter = open(sim::AdapterStateFile(match->deviceInstance), &error);
    if (adapter == nullptr) return FailWith(error, kInvalidDevice);
    return sim::NewHandle<OpenDevice, HDevice>(std::make_unique<OpenDevice>(std::move(adapter)));
}

bool DeviceIoControl(HDevice device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                     void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned) {
    if (bytesReturned != nullptr) *bytesReturned = 0;
    OpenDevice* open = sim::FindOrFail<OpenDevice>(device);
    if (open == nullptr) return false;
    if (open->network) {
        return QueryNetworkAdapter(*open->network, ioControlCode, inBuffer, inBufferSize, outBuffer,
                                   outBufferSize, bytesReturned);
    }
    if ((ioControlCode >> 16) != kBusDriverDeviceType || (ioControlCode & 3) != kMethodBuffered)
        return FailWith(kErrorInvalidParameter);
    if ((inBufferSize != 0 && inBuffer == nullptr) || (outBufferSize != 0 && outBuffer == nullptr) ||
        inBufferSize > kMaxBufferSize || outBufferSize > kMaxBufferSize)
        return FailWith(kErrorInvalidParameter);
    // Buffered method: the driver works on one system buffer holding the input and the output.
    std::vector<uint8_t> system(std::max(inBufferSize, outBufferSize));
    if (inBufferSize != 0) std::memcpy(system.data(), inBuffer, inBufferSize);
    const uint32_t function = (ioControlCode >> 2) & 0xFFF;
    uint32_t returned = 0;
    // QV_SIM_KILL_AFTER_REQUESTS=N: killed when the N-th request to an adapter arrives, before the
    // adapter sees it; the adapter's state is its mapped file, so a flash left in the middle of a
    // command or of a program cycle is what the next program finds.
    static sim::KillSwitch killSwitch("QV_SIM_KILL_AFTER_REQUESTS");
    killSwitch.Count();
    const int32_t status =
        open->adapter->HandleRequest(function, system.data(), inBufferSize, outBufferSize, &returned);
    if (status != kErrorSuccess) return FailWith(status);
    returned = std::min(returned, outBufferSize);
    if (returned != 0) std::memcpy(outBuffer, system.data(), returned);
    if (bytesReturned != nullptr) *bytesReturned = returned;
    return true;
}

bool CloseHandle(HDevice device) {
    return sim::Close<OpenDevice>(device) || FailWith(kErrorInvalidHandle);
}

}  // namespace qv::io

void qv::sim::RegisterBusDriver(OpenBusDevice open) {
    qv::io::g_busDriver = open;
}
