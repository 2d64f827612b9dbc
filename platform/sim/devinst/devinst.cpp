// Device enumeration, properties, driver keys and instance ids over the simulated device database.
#include "qv/platform/devinst.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "device_install.h"
#include "device_node.h"
#include "device_table.h"
#include "qv/sim/device_set.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"
#include "qv/sim/text_out.h"

namespace qv::dev {
namespace {

using sim::DeviceSet;
using sim::RegKey;

using sim::FailWith;

// Where each readable device property lives on the device node, and whether it can be written.
struct PropertyInfo {
    uint32_t property;
    std::u16string_view valueName;
    uint32_t type;
    bool writable;
};
constexpr std::array kProperties{
    PropertyInfo{kSpdrpDeviceDesc, u"DeviceDesc", kRegSz, true},
    PropertyInfo{kSpdrpHardwareId, u"HardwareID", kRegMultiSz, true},
    PropertyInfo{kSpdrpCompatibleIds, u"CompatibleIDs", kRegMultiSz, true},
    PropertyInfo{kSpdrpService, u"Service", kRegSz, false},
    PropertyInfo{kSpdrpClass, u"Class", kRegSz, false},
    PropertyInfo{kSpdrpClassGuid, u"ClassGUID", kRegSz, false},
    PropertyInfo{kSpdrpDriver, u"Driver", kRegSz, false},
    PropertyInfo{kSpdrpMfg, u"Mfg", kRegSz, false},
    PropertyInfo{kSpdrpFriendlyName, u"FriendlyName", kRegSz, true},
};

const PropertyInfo* FindProperty(uint32_t property) {
    const auto it = std::ranges::find(kProperties, property, &PropertyInfo::property);
    return it == kProperties.end() ? nullptr : &*it;
}

// The instance id of a registered device of the set, or nullopt with the last error set.
std::optional<std::u16string> DeviceOf(HDevInfo handle, const DevInfoData* device) {
    auto member = sim::FindMember(handle, device);
    if (!member) return std::nullopt;
    if (member->data->removed) return FailWith(kErrorNoSuchDevinst, std::nullopt);
    if (!member->data->registered) return FailWith(kErrorDevinfoNotRegistered, std::nullopt);
    return std::move(member->instanceId);
}

// Opens the device's node; fails with kErrorNoSuchDevinst when it has gone since the set was made.
bool OpenNode(const std::u16string& instanceId, uint32_t sam, RegKey* node) {
    const LStatus status = RegKey::Open(sim::DeviceNodePath(instanceId), sam, node);
    if (status == kErrorSuccess) return true;
    return FailWith(status == kErrorFileNotFound ? kErrorNoSuchDevinst : status);
}

// What the walks of the programs ask of a device node again and again, its class and driver key,
// remembered for as long as this process's view of the registry holds (a write, or another
// process's commit seen by a new snapshot, forgets it). Only nodes that could be read are kept.
struct NodeFacts {
    Guid classGuid{};
    std::optional<std::u16string> driver;
};

const NodeFacts* FactsOf(uint32_t devInst, const std::u16string& instanceId) {
    static struct {
        uint64_t serial = 0;
        std::unordered_map<uint32_t, NodeFacts> facts;
    } cache;
    sim::RegistryTransaction view(sim::RegistryTransaction::Mode::kReadSnapshot);
    const uint64_t serial = sim::RegistryViewSerial();
    if (serial != cache.serial) {
        cache.facts.clear();
        cache.serial = serial;
    }
    if (const auto known = cache.facts.find(devInst); known != cache.facts.end()) return &known->second;
    RegKey node;
    if (!OpenNode(instanceId, kKeyQueryValue, &node)) return nullptr;
    NodeFacts facts;
    if (const auto text = node.ReadString(u"ClassGUID")) GuidFromString(*text, &facts.classGuid);
    facts.driver = node.ReadString(u"Driver");
    return &cache.facts.insert_or_assign(devInst, std::move(facts)).first->second;
}

// Copies bytes out under SetupAPI's buffer rules.
bool ReturnProperty(uint32_t type, std::span<const uint8_t> data, uint32_t* regType, uint8_t* buffer,
                    uint32_t bufferSize, uint32_t* requiredSize) {
    const auto size = static_cast<uint32_t>(data.size());
    if (requiredSize) *requiredSize = size;
    if (regType) *regType = type;
    if (buffer == nullptr && bufferSize != 0) return FailWith(kErrorInvalidUserBuffer);
    if (buffer == nullptr || bufferSize < size) return FailWith(kErrorInsufficientBuffer);
    if (size) std::memcpy(buffer, data.data(), size);
    return true;
}

// A created device that is no device node yet: its properties are those kept in its set.
bool GetPendingProperty(const sim::DeviceInstallData& data, uint32_t property, uint32_t* regType,
                        uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize) {
    if (property == kSpdrpClassGuid || (property == kSpdrpClass && !data.className.empty())) {
        const auto bytes = sim::StringBytes(property == kSpdrpClassGuid ? data.classGuid : data.className);
        return ReturnProperty(kRegSz, bytes, regType, buffer, bufferSize, requiredSize);
    }
    const auto it = data.pendingProperties.find(property);
    if (it == data.pendingProperties.end()) return FailWith(kErrorInvalidData);
    const auto& [type, value] = it->second;
    return ReturnProperty(type, value, regType, buffer, bufferSize, requiredSize);
}

bool SetPendingProperty(sim::DeviceInstallData* data, const PropertyInfo& info, const uint8_t* buffer,
                        uint32_t bufferSize) {
    if (buffer == nullptr && bufferSize != 0) return FailWith(kErrorInvalidUserBuffer);
    if (buffer == nullptr) {
        data->pendingProperties.erase(info.property);
    } else {
        data->pendingProperties[info.property] = {info.type,
                                                  std::vector<uint8_t>(buffer, buffer + bufferSize)};
    }
    return sim::Succeed();
}

bool MatchesClass(const RegKey& node, const Guid& classGuid) {
    const auto text = node.ReadString(u"ClassGUID");
    Guid guid{};
    return text && GuidFromString(*text, &guid) && GuidEqual(guid, classGuid);
}

}  // namespace

HDevInfo GetClassDevs(const Guid* classGuid, const char16_t* enumerator, HWnd /*parent*/, uint32_t flags) {
    if ((flags & kDigcfDeviceInterface) != 0) return FailWith(kErrorInvalidFlags, kInvalidDevInfo);
    const bool allClasses = (flags & kDigcfAllClasses) != 0;
    if (!allClasses && classGuid == nullptr) return FailWith(kErrorInvalidParameter, kInvalidDevInfo);
    // One Windows call, one view of the device database: the walk reads one registry snapshot. The
    // list of the last call is kept for as long as that view holds, since the programs ask for the
    // same list many times while nothing changes.
    sim::RegistryTransaction snapshot(sim::RegistryTransaction::Mode::kReadSnapshot);
    static struct {
        uint64_t serial = 0;
        Guid classGuid{};
        std::u16string enumerator;
        uint32_t flags = 0;
        std::vector<uint32_t> devices;
    } last;
    const uint64_t serial = sim::RegistryViewSerial();
    const Guid wanted = allClasses ? Guid{} : *classGuid;
    const std::u16string_view enumeratorText = enumerator ? std::u16string_view(enumerator) : u"";
    auto set = std::make_unique<DeviceSet>();
    if (last.serial == serial && serial != 0 && last.classGuid == wanted &&
        last.enumerator == enumeratorText && last.flags == flags) {
        set->devices = last.devices;
    } else {
        LStatus status = kErrorSuccess;
        const auto ids = sim::ListDeviceInstances(enumeratorText, &status);
        if (status != kErrorSuccess) return FailWith(status, kInvalidDevInfo);
        for (const auto& id : ids) {
            RegKey node;
            if (RegKey::Open(sim::DeviceNodePath(id), kKeyQueryValue, &node) != kErrorSuccess) continue;
            if (!allClasses && !MatchesClass(node, *classGuid)) continue;
            if ((flags & kDigcfPresent) != 0 && !sim::IsDevicePresent(id)) continue;
            set->devices.push_back(sim::DevInstFor(id));
        }
        last = {serial, wanted, std::u16string(enumeratorText), flags, set->devices};
    }
    return sim::Succeed(sim::NewHandle<DeviceSet, HDevInfo>(std::move(set)));
}

bool EnumDeviceInfo(HDevInfo handle, uint32_t index, DevInfoData* device) {
    const DeviceSet* set = sim::FindOrFail<DeviceSet>(handle);
    if (set == nullptr) return false;
    if (device == nullptr || device->cbSize != sizeof(DevInfoData)) return FailWith(kErrorInvalidUserBuffer);
    if (index >= set->devices.size()) return FailWith(kErrorNoMoreItems);
    const uint32_t devInst = set->devices[index];
    device->devInst = devInst;
    device->reserved = reinterpret_cast<uintptr_t>(handle);
    device->classGuid = Guid{};
    if (const auto id = sim::InstanceIdOf(devInst)) {
        const Win32Error lastError = GetLastError();  // a node that cannot be read fails nothing here
        if (const NodeFacts* facts = FactsOf(devInst, *id)) device->classGuid = facts->classGuid;
        SetLastError(lastError);
    }
    return true;
}

bool DestroyDeviceInfoList(HDevInfo set) {
    return sim::Close<DeviceSet>(set) || FailWith(kErrorInvalidHandle);
}

bool GetDeviceRegistryProperty(HDevInfo set, DevInfoData* device, uint32_t property, uint32_t* regType,
                               uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize) {
    if (auto member = sim::FindMember(set, device);
        member && !member->data->registered && !member->data->removed)
        return GetPendingProperty(*member->data, property, regType, buffer, bufferSize, requiredSize);
    const auto id = DeviceOf(set, device);
    if (!id) return false;
    RegKey node;
    if (!OpenNode(*id, kKeyQueryValue, &node)) return false;

    if (property == kSpdrpInstallState) {
        const uint32_t state = sim::ReadDeviceState(*id, u"InstallState").value_or(kInstallStateInstalled);
        return ReturnProperty(kRegDword, sim::DwordBytes(state), regType, buffer, bufferSize, requiredSize);
    }
    const PropertyInfo* info = FindProperty(property);
    if (info == nullptr) return FailWith(kErrorInvalidData);
    uint32_t type = 0;
    const auto bytes = node.ReadBytes(info->valueName, &type);
    if (!bytes) return FailWith(kErrorInvalidData);
    return ReturnProperty(type, *bytes, regType, buffer, bufferSize, requiredSize);
}

bool SetDeviceRegistryProperty(HDevInfo set, DevInfoData* device, uint32_t property, const uint8_t* buffer,
                               uint32_t bufferSize) {
    const PropertyInfo* info = FindProperty(property);
    if (auto member = sim::FindMember(set, device);
        member && !member->data->registered && !member->data->removed) {
        if (info == nullptr || !info->writable) return FailWith(kErrorInvalidRegProperty);
        return SetPendingProperty(member->data, *info, buffer, bufferSize);
    }
    const auto id = DeviceOf(set, device);
    if (!id) return false;
    if (info == nullptr || !info->writable) return FailWith(kErrorInvalidRegProperty);
    if (buffer == nullptr && bufferSize != 0) return FailWith(kErrorInvalidUserBuffer);
    RegKey node;
    if (!OpenNode(*id, kKeySetValue | kKeyQueryValue, &node)) return false;
    const std::u16string name(info->valueName);
    LStatus status;
    if (buffer == nullptr) {
        status = reg::DeleteValue(node.get(), name.c_str());
        if (status == kErrorFileNotFound) status = kErrorSuccess;
    } else {
        status = reg::SetValueEx(node.get(), name.c_str(), info->type, buffer, bufferSize);
    }
    if (status != kErrorSuccess) return FailWith(status);
    return sim::Succeed();
}

HKey OpenDevRegKey(HDevInfo set, DevInfoData* device, uint32_t scope, uint32_t /*hwProfile*/,
                   uint32_t keyType, uint32_t samDesired) {
    const auto id = DeviceOf(set, device);
    if (!id) return kInvalidHKey;
    if ((scope != kDicsFlagGlobal && scope != kDicsFlagConfigSpecific) ||
        (keyType != kDiregDev && keyType != kDiregDrv))
        return FailWith(kErrorInvalidFlags, kInvalidHKey);
    const NodeFacts* facts = FactsOf(device->devInst, *id);
    if (facts == nullptr) return kInvalidHKey;

    std::u16string path;
    if (keyType == kDiregDrv) {
        if (!facts->driver || facts->driver->empty()) return FailWith(kErrorKeyDoesNotExist, kInvalidHKey);
        path = sim::DriverKeyPath(*facts->driver);
    } else {
        path = sim::DeviceNodePath(*id) + u"\\Device Parameters";
    }
    HKey key = nullptr;
    const LStatus status = reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), samDesired, &key);
    if (status != kErrorSuccess)
        return FailWith(status == kErrorFileNotFound ? kErrorKeyDoesNotExist : status, kInvalidHKey);
    return sim::Succeed(key);
}

ConfigRet GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags) {
    if (buffer == nullptr) return kCrInvalidPointer;
    if (flags != 0) return kCrInvalidFlag;
    const auto id = sim::InstanceIdOf(devInst);
    if (!id) return kCrInvalidDevinst;
    return sim::CopyText(*id, buffer, bufferLength) ? kCrSuccess : kCrBufferSmall;
}

ConfigRet GetDevNodeStatus(uint32_t* status, uint32_t* problem, uint32_t devInst, uint32_t flags) {
    if (status == nullptr || problem == nullptr) return kCrInvalidPointer;
    if (flags != 0) return kCrInvalidFlag;
    const auto id = sim::InstanceIdOf(devInst);
    if (!id) return kCrInvalidDevinst;
    if (!sim::IsDevicePresent(*id)) return kCrNoSuchDevinst;
    const bool disabled = sim::IsDeviceDisabled(*id);
    *status = disabled ? kDnHasProblem : kDnDriverLoaded | kDnStarted;
    *problem = disabled ? kCmProbDisabled : 0;
    return kCrSuccess;
}

}  // namespace qv::dev
