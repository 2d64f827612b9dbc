// Creating, registering, selecting and removing devices on the simulated host
// (SetupDiCreateDeviceInfoList, SetupDiCreateDeviceInfoW, DIF_REGISTERDEVICE, DIF_REMOVE,
// SetupDiRemoveDevice, SetupDiSetSelectedDevice).
//
// A created device lives in its set only, under an instance id that this process reserves, until
// DIF_REGISTERDEVICE writes it into the device database; removal takes every part of it away again.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "device_install.h"
#include "device_node.h"
#include "device_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/install_points.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"
#include "qv/sim/simulated_miniport.h"

namespace qv::sim {
namespace {

constexpr size_t kMaxDeviceNameLength = 64;

// Created, unregistered devices of this process: the set that holds each, and its id.
struct Reservation {
    HDevInfo set;
    uint32_t devInst;
};
std::mutex g_reservationsMutex;
std::vector<Reservation> g_reservations;

void Reserve(HDevInfo set, uint32_t devInst) {
    std::lock_guard lock(g_reservationsMutex);
    g_reservations.push_back({set, devInst});
}

// Whether a set of this process still holds a created, unregistered device with this instance id,
// so that generated ids never hand out one number twice.
bool IsInstanceIdReserved(std::u16string_view instanceId) {
    std::lock_guard lock(g_reservationsMutex);
    // Drop reservations whose set is gone or whose device was registered or removed meanwhile.
    std::erase_if(g_reservations, [](const Reservation& r) {
        DeviceSet* set = Find<DeviceSet>(r.set);
        if (set == nullptr) return true;
        const auto it = set->install.find(r.devInst);
        return it == set->install.end() || it->second.registered || it->second.removed;
    });
    return std::ranges::any_of(g_reservations, [instanceId](const Reservation& r) {
        const auto id = InstanceIdOf(r.devInst);
        return id && EqualsIgnoreCase(*id, instanceId);
    });
}

// "ROOT\<NAME>\NNNN" with the first number that neither the registry nor a reservation holds.
std::optional<std::u16string> GeneratedInstanceId(std::u16string_view name) {
    const std::u16string device = u"ROOT\\" + AsciiUpper(name);
    std::vector<std::u16string> taken;
    RegKey key;
    if (RegKey::Open(DeviceNodePath(device), kKeyRead, &key) == kErrorSuccess) taken = key.SubKeys();
    const auto number = FreeNumberedName(
        taken, [&](const std::u16string& n) { return IsInstanceIdReserved(JoinPath(device, n)); });
    if (!number) return std::nullopt;
    return JoinPath(device, *number);
}

bool IsFullInstanceId(std::u16string_view id) {
    const size_t first = id.find(u'\\');
    if (first == 0 || first == std::u16string_view::npos) return false;
    const size_t second = id.find(u'\\', first + 1);
    return second != std::u16string_view::npos && second > first + 1 && second + 1 < id.size() &&
           id.find(u'\\', second + 1) == std::u16string_view::npos && id.size() < kMaxDeviceIdLength;
}

std::u16string ClassNameOf(std::u16string_view classGuid) {
    RegKey key;
    if (RegKey::Open(JoinPath(kClassPath, classGuid), kKeyQueryValue, &key) != kErrorSuccess) return {};
    return key.ReadString(u"Class").value_or(u"");
}

// The text of pending property bytes: a REG_SZ up to its terminator.
std::u16string PendingString(const DeviceInstallData& data, uint32_t property) {
    const auto it = data.pendingProperties.find(property);
    if (it == data.pendingProperties.end()) return {};
    return StringFromBytes(it->second.second);
}

// Deletes the adapter's network-configuration entries: its component and every binding path
// whose token names its GUID.
LStatus RemoveNetCfgEntries(std::u16string_view guid) {
    RegKey pathsKey;
    if (RegKey::Open(JoinPath(kSimNetCfgPath, u"BindingPaths"), kKeyRead, &pathsKey) == kErrorSuccess) {
        for (const auto& name : pathsKey.SubKeys()) {
            RegKey path;
            if (RegKey::Open(pathsKey.get(), name, kKeyQueryValue, &path) != kErrorSuccess) continue;
            const std::u16string token = AsciiUpper(path.ReadString(u"Token").value_or(u""));
            path = RegKey();
            if (token.find(AsciiUpper(guid)) == std::u16string::npos) continue;
            const LStatus status = reg::DeleteKey(pathsKey.get(), name.c_str());
            if (status != kErrorSuccess) return status;
        }
    }
    const std::u16string component = JoinPath(JoinPath(kSimNetCfgPath, u"Components"), guid);
    const LStatus status = reg::DeleteKey(kHkeyLocalMachine, component.c_str());
    return status == kErrorFileNotFound ? kErrorSuccess : status;
}

// Removes every part of a registered device: the device database's RemoveDevice and the adapter's
// network-configuration entries. A registry status.
LStatus RemoveDeviceCompletely(std::u16string_view instanceId) {
    LStatus status = kErrorSuccess;
    const auto record = ReadDevice(instanceId, &status);
    if (!record) return status;
    StopMiniport(instanceId);
    status = RemoveDevice(instanceId);
    PassInstallPoint(InstallPoint::kRemoveDeviceRemoved);
    if (status == kErrorSuccess && !record->netCfgInstanceId.empty())
        status = RemoveNetCfgEntries(record->netCfgInstanceId);
    PassInstallPoint(InstallPoint::kRemoveNetCfgRemoved);
    return status;
}

InstallPointHook g_installPointHook = nullptr;

}  // namespace

void SetInstallPointHook(InstallPointHook hook) {
    g_installPointHook = hook;
}

void PassInstallPoint(InstallPoint point) {
    if (g_installPointHook != nullptr) g_installPointHook(point);
}

std::vector<std::u16string> PendingList(const DeviceInstallData& data, uint32_t property) {
    const auto it = data.pendingProperties.find(property);
    return it == data.pendingProperties.end() ? std::vector<std::u16string>{}
                                              : ParseMultiString(it->second.second);
}

std::optional<SetMember> FindMember(HDevInfo handle, const DevInfoData* device) {
    DeviceSet* set = FindOrFail<DeviceSet>(handle);
    if (set == nullptr) return std::nullopt;
    if (device == nullptr || device->cbSize != sizeof(DevInfoData))
        return FailWith(kErrorInvalidUserBuffer, std::nullopt);
    const auto& devices = set->devices;
    if (std::find(devices.begin(), devices.end(), device->devInst) == devices.end())
        return FailWith(kErrorInvalidParameter, std::nullopt);
    auto id = InstanceIdOf(device->devInst);
    if (!id) return FailWith(kErrorNoSuchDevinst, std::nullopt);
    return SetMember{set, &set->install[device->devInst], device->devInst, std::move(*id)};
}

std::optional<SetMember> FindMemberOrSelected(HDevInfo handle, const DevInfoData* device) {
    if (device != nullptr) return FindMember(handle, device);
    DeviceSet* set = FindOrFail<DeviceSet>(handle);
    if (set == nullptr) return std::nullopt;
    if (set->selectedDevice == 0) return FailWith(kErrorNoDeviceSelected, std::nullopt);
    DevInfoData selected;
    selected.devInst = set->selectedDevice;
    return FindMember(handle, &selected);
}

bool RegisterMember(SetMember& member) {
    DeviceInstallData& data = *member.data;
    if (data.removed) return FailWith(kErrorNoSuchDevinst);
    if (data.registered) return true;
    RegistryTransaction txn;
    if (!txn.ok()) return FailWith(static_cast<Win32Error>(txn.status()));
    // Another process may have registered the number meanwhile: reservations are per process.
    if (NodeExists(member.instanceId)) return FailWith(kErrorDevinstAlreadyExists);
    DeviceRecord record;
    record.instanceId = member.instanceId;
    record.hardwareIds = PendingList(data, kSpdrpHardwareId);
    record.compatibleIds = PendingList(data, kSpdrpCompatibleIds);
    record.description = PendingString(data, kSpdrpDeviceDesc);
    record.friendlyName = PendingString(data, kSpdrpFriendlyName);
    record.configFlags = 0;
    record.state.present = 1;
    record.state.disabled = 0;
    // The class goes on the node without a driver key: that comes with the driver.
    LStatus status = CreateDevice(&record);
    PassInstallPoint(InstallPoint::kRegisterNodeWritten);
    RegKey node;
    if (status == kErrorSuccess)
        status = RegKey::Open(DeviceNodePath(member.instanceId), kKeySetValue, &node);
    if (status == kErrorSuccess) status = node.WriteString(u"ClassGUID", data.classGuid);
    if (status == kErrorSuccess && !data.className.empty())
        status = node.WriteString(u"Class", data.className);
    node = RegKey();
    if (status == kErrorSuccess) status = txn.Commit();
    if (status != kErrorSuccess) return FailWith(static_cast<Win32Error>(status));
    data.registered = true;
    data.pendingProperties.clear();
    return Succeed();
}

bool RemoveMember(SetMember& member) {
    DeviceInstallData& data = *member.data;
    if (data.removed) return FailWith(kErrorNoSuchDevinst);
    RemoveDeviceParams params;
    params.scope = kDiRemoveDeviceGlobal;
    if (data.classInstallParams.size() == sizeof(RemoveDeviceParams)) {
        std::memcpy(&params, data.classInstallParams.data(), sizeof params);
        if (params.header.installFunction != kDifRemove) params.scope = kDiRemoveDeviceGlobal;
    }
    if (params.scope != kDiRemoveDeviceGlobal && params.scope != kDiRemoveDeviceConfigSpecific)
        return FailWith(kErrorInvalidParameter);
    if (!data.registered) {
        data.removed = true;
        return true;
    }
    RegistryTransaction txn;
    if (!txn.ok()) return FailWith(static_cast<Win32Error>(txn.status()));
    LStatus status;
    if (params.scope == kDiRemoveDeviceGlobal) {
        status = RemoveDeviceCompletely(member.instanceId);
    } else {
        // Gone from the current hardware profile only: the device stays in the database, absent.
        status =
            NodeExists(member.instanceId)
                ? (WriteDeviceState(member.instanceId, kStatePresent, 0) ? kErrorSuccess : kErrorCantWrite)
                : static_cast<LStatus>(kErrorFileNotFound);
        if (status == kErrorSuccess) StopMiniport(member.instanceId);
    }
    if (status == kErrorFileNotFound) return FailWith(kErrorNoSuchDevinst);
    if (status == kErrorSuccess) status = txn.Commit();
    if (status != kErrorSuccess) return FailWith(static_cast<Win32Error>(status));
    if (params.scope == kDiRemoveDeviceGlobal) data.removed = true;
    NoteRebootRequest(&data);
    return Succeed();
}

}  // namespace qv::sim

namespace qv::dev {

using sim::FailWith;

HDevInfo CreateDeviceInfoList(const Guid* classGuid, HWnd /*parent*/) {
    auto set = std::make_unique<sim::DeviceSet>();
    if (classGuid != nullptr) set->listClass = *classGuid;
    return sim::Succeed(sim::NewHandle<sim::DeviceSet, HDevInfo>(std::move(set)));
}

bool CreateDeviceInfo(HDevInfo handle, const char16_t* deviceName, const Guid& classGuid,
                      const char16_t* deviceDescription, HWnd /*parent*/, uint32_t creationFlags,
                      DevInfoData* device) {
    sim::DeviceSet* set = sim::FindOrFail<sim::DeviceSet>(handle);
    if (set == nullptr) return false;
    if (device != nullptr && device->cbSize != sizeof(DevInfoData)) return FailWith(kErrorInvalidUserBuffer);
    if (deviceName == nullptr || deviceName[0] == u'\0') return FailWith(kErrorInvalidDevinstName);
    if ((creationFlags & ~(kDicdGenerateId | kDicdInheritClassdrvs)) != 0)
        return FailWith(kErrorInvalidFlags);
    if (set->listClass && !GuidEqual(*set->listClass, classGuid)) return FailWith(kErrorClassMismatch);
    const std::u16string_view name(deviceName);

    std::u16string instanceId;
    {
        // One view of the device database while the id is chosen.
        sim::RegistryTransaction snapshot(sim::RegistryTransaction::Mode::kReadSnapshot);
        if ((creationFlags & kDicdGenerateId) != 0) {
            if (name.find(u'\\') != std::u16string_view::npos || name.size() > sim::kMaxDeviceNameLength)
                return FailWith(kErrorInvalidDevinstName);
            const auto generated = sim::GeneratedInstanceId(name);
            if (!generated) return FailWith(kErrorNoMoreItems);
            instanceId = *generated;
        } else {
            if (!sim::IsFullInstanceId(name)) return FailWith(kErrorInvalidDevinstName);
            if (sim::NodeExists(name) || sim::IsInstanceIdReserved(name))
                return FailWith(kErrorDevinstAlreadyExists);
            instanceId = name;
        }
    }
    const uint32_t devInst = sim::DevInstFor(instanceId);
    sim::DeviceInstallData data;
    data.registered = false;
    data.classGuid = GuidToString(classGuid);
    data.className = sim::ClassNameOf(data.classGuid);
    if (deviceDescription != nullptr && deviceDescription[0] != u'\0')
        data.pendingProperties[kSpdrpDeviceDesc] = {kRegSz, sim::StringBytes(deviceDescription)};
    set->install[devInst] = std::move(data);
    set->devices.push_back(devInst);
    sim::Reserve(handle, devInst);
    if (device != nullptr) {
        device->classGuid = classGuid;
        device->devInst = devInst;
        device->reserved = reinterpret_cast<uintptr_t>(handle);
    }
    return sim::Succeed();
}

bool RemoveDevice(HDevInfo set, DevInfoData* device) {
    auto member = sim::FindMember(set, device);
    return member && sim::RemoveMember(*member);
}

bool SetSelectedDevice(HDevInfo handle, DevInfoData* device) {
    auto member = sim::FindMember(handle, device);
    if (!member) return false;
    member->set->selectedDevice = member->devInst;
    return true;
}

}  // namespace qv::dev
