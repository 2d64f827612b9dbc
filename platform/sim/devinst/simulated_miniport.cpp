// The simulated team and VLAN virtual miniport and its pending address writes.
#include "qv/sim/simulated_miniport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <vector>

#include "device_node.h"
#include "qv/platform/clock.h"
#include "qv/sim/driver_scheduler.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {
namespace {

constexpr std::u16string_view kMiniportHardwareId = u"QV_QVTEAMMP";

struct PendingWrite {
    std::filesystem::path machine;
    std::u16string instanceId;
    uint64_t dueTick;
};
std::mutex g_pendingMutex;
std::vector<PendingWrite> g_pending;

bool IsMiniport(const RegKey& node) {
    const auto ids = node.ReadMultiString(u"HardwareID");
    return ids && std::any_of(ids->begin(), ids->end(), [](const std::u16string& id) {
               return EqualsIgnoreCase(id, kMiniportHardwareId);
           });
}

// Writes the address of a started, enabled miniport device. kErrorSuccess when the device is no
// (longer a) miniport or has no driver yet.
LStatus WriteAddress(std::u16string_view instanceId) {
    RegKey node;
    if (RegKey::Open(DeviceNodePath(instanceId), kKeyQueryValue, &node) != kErrorSuccess)
        return kErrorSuccess;
    if (!IsMiniport(node) || IsDeviceDisabled(instanceId)) return kErrorSuccess;
    const auto driverKey = node.ReadString(u"Driver");
    if (!driverKey || driverKey->empty()) return kErrorSuccess;
    RegKey driver;
    LStatus status = RegKey::Open(DriverKeyPath(*driverKey), kKeyQueryValue | kKeySetValue, &driver);
    if (status != kErrorSuccess) return status;
    Guid guid{};
    const auto text = driver.ReadString(u"NetCfgInstanceId");
    if (!text || !GuidFromString(*text, &guid)) return kErrorSuccess;  // no identity, no address
    return driver.WriteString(u"NetworkAddress", MiniportAddress(guid));
}

void Cancel(std::u16string_view instanceId) {
    const auto machine = MachineDir();
    std::erase_if(g_pending, [&](const PendingWrite& p) {
        return p.machine == machine && EqualsIgnoreCase(p.instanceId, instanceId);
    });
}

// Applies the pending writes that are due at the clock port's tick now.
void RunDueDriverActions() {
    std::vector<PendingWrite> due;
    {
        std::lock_guard lock(g_pendingMutex);
        if (g_pending.empty()) return;
        const uint64_t now = clk::TickCount();
        const auto machine = MachineDir();
        std::erase_if(g_pending, [&](PendingWrite& write) {
            if (write.machine != machine) return true;  // the process has moved to another machine
            if (write.dueTick > now) return false;
            due.push_back(std::move(write));
            return true;
        });
    }
    for (const auto& write : due) {
        RegistryTransaction txn;
        if (txn.ok() && WriteAddress(write.instanceId) == kErrorSuccess) txn.Commit();
    }
}

}  // namespace

std::u16string MiniportAddress(const Guid& instanceGuid) {
    char text[16];
    const uint8_t* b = instanceGuid.data4;
    std::snprintf(text, sizeof text, "02%02X%02X%02X%02X%02X", b[3], b[4], b[5], b[6], b[7]);
    return std::u16string(text, text + 12);
}

LStatus StartMiniport(std::u16string_view instanceId) {
    {
        RegKey node;
        if (RegKey::Open(DeviceNodePath(instanceId), kKeyQueryValue, &node) != kErrorSuccess ||
            !IsMiniport(node))
            return kErrorSuccess;
    }
    const uint32_t delay = ReadHostValue(kHostMiniportAddressDelay).value_or(0);
    std::lock_guard lock(g_pendingMutex);
    Cancel(instanceId);
    if (delay == kMiniportAddressNever) return kErrorSuccess;
    if (delay == 0) return WriteAddress(instanceId);
    g_pending.push_back({MachineDir(), std::u16string(instanceId), clk::TickCount() + delay});
    CallAfterEverySleep(&RunDueDriverActions);
    return kErrorSuccess;
}

void StopMiniport(std::u16string_view instanceId) {
    std::lock_guard lock(g_pendingMutex);
    Cancel(instanceId);
}

size_t PendingDriverActions() {
    std::lock_guard lock(g_pendingMutex);
    return g_pending.size();
}

}  // namespace qv::sim
