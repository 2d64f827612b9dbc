// Opening a bus-driver interface by its device path and sending it I/O-control requests, on the
// simulated host: each open handle maps the state file of the simulated adapter behind the path.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/n5/adapter.h"

namespace qv::io {
namespace {

using sim::FailWith;

// What a device handle refers to: the mapped state of the simulated adapter behind the path.
struct OpenDevice : sim::HandleObject {
    static constexpr sim::HandleKind kKind = sim::HandleKind::kDevice;
    explicit OpenDevice(std::unique_ptr<sim::n5::Adapter> opened) : adapter(std::move(opened)) {}
    std::unique_ptr<sim::n5::Adapter> adapter;
};

constexpr uint32_t kBusDriverDeviceType = 0x6800;
constexpr uint32_t kMethodBuffered = 0;
// No request of the bus driver comes near this; larger buffers are refused, not allocated.
constexpr uint32_t kMaxBufferSize = 1u << 20;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool SamePath(const std::string& a, const char* b) {
    return std::equal(a.begin(), a.end(), b, b + std::strlen(b),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

HDevice CreateFileA(const char* path, uint32_t, uint32_t, uint32_t creationDisposition, uint32_t) {
    if (path == nullptr || creationDisposition != kOpenExisting) {
        FailWith(kErrorInvalidParameter);
        return kInvalidDevice;
    }
    std::vector<sim::BusDriverInterface> interfaces;
    const int32_t status = sim::ListBusDriverInterfaces(true, &interfaces);
    if (status != kErrorSuccess) {
        FailWith(status);
        return kInvalidDevice;
    }
    const auto match =
        std::find_if(interfaces.begin(), interfaces.end(),
                     [path](const sim::BusDriverInterface& i) { return SamePath(i.symbolicLink, path); });
    if (match == interfaces.end()) {
        FailWith(kErrorFileNotFound);
        return kInvalidDevice;
    }
    const std::u16string instance(match->deviceInstance.begin(), match->deviceInstance.end());
    // A disabled device's interfaces are not enabled: its path does not open.
    if (sim::ReadDeviceState(instance, sim::kStateDisabled).value_or(0) != 0) {
        FailWith(kErrorFileNotFound);
        return kInvalidDevice;
    }
    if (const uint32_t injected = sim::ReadDeviceState(instance, sim::kStateOpenFails).value_or(0);
        injected != 0) {
        FailWith(injected);
        return kInvalidDevice;
    }
    int32_t error = kErrorSuccess;
    auto adapter = sim::n5::Adapter::Open(sim::AdapterStateFile(match->deviceInstance), &error);
    if (adapter == nullptr) {
        FailWith(error);
        return kInvalidDevice;
    }
    return sim::NewHandle<OpenDevice, HDevice>(std::make_unique<OpenDevice>(std::move(adapter)));
}

bool DeviceIoControl(HDevice device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                     void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned) {
    if (bytesReturned != nullptr) *bytesReturned = 0;
    OpenDevice* open = sim::FindOrFail<OpenDevice>(device);
    if (open == nullptr) return false;
    if ((ioControlCode >> 16) != kBusDriverDeviceType || (ioControlCode & 3) != kMethodBuffered) {
        return FailWith(kErrorInvalidParameter);
    }
    if ((inBufferSize != 0 && inBuffer == nullptr) || (outBufferSize != 0 && outBuffer == nullptr) ||
        inBufferSize > kMaxBufferSize || outBufferSize > kMaxBufferSize) {
        return FailWith(kErrorInvalidParameter);
    }
    // Buffered method: the driver works on one system buffer holding the input and the output.
    std::vector<uint8_t> system(std::max(inBufferSize, outBufferSize));
    if (inBufferSize != 0) std::memcpy(system.data(), inBuffer, inBufferSize);
    const uint32_t function = (ioControlCode >> 2) & 0xFFF;
    uint32_t returned = 0;
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
