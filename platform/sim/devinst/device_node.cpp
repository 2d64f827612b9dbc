// Where the device database keeps each part of a device, and the walk over the Enum tree.
#include "device_node.h"

#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {

std::u16string DeviceNodePath(std::u16string_view instanceId) {
    return JoinPath(kEnumPath, instanceId);
}

std::u16string DriverKeyPath(std::u16string_view driverKey) {
    return JoinPath(kClassPath, driverKey);
}

std::u16string ConnectionKeyPath(std::u16string_view netCfgInstanceId) {
    return JoinPath(JoinPath(JoinPath(kNetworkPath, kNetClassGuid), netCfgInstanceId), u"Connection");
}

std::u16string DeviceStatePath(std::u16string_view instanceId) {
    return JoinPath(kSimDevicesPath, DeviceStateKeyName(instanceId));
}

std::u16string InterfaceReferenceName(std::u16string_view instanceId, std::u16string_view interfaceClass) {
    return u"##?#" + DeviceStateKeyName(instanceId) + u'#' + std::u16string(interfaceClass);
}

bool NodeExists(std::u16string_view instanceId) {
    RegKey node;
    return RegKey::Open(DeviceNodePath(instanceId), kKeyQueryValue, &node) == kErrorSuccess;
}

bool DeviceNodePresent(std::u16string_view instanceId) {
    return NodeExists(instanceId) && IsDevicePresent(instanceId);
}

std::vector<std::u16string> ListDeviceInstances(std::u16string_view enumerator, LStatus* status) {
    std::vector<std::u16string> ids;
    *status = kErrorSuccess;
    RegKey enumKey;
    const LStatus opened = RegKey::Open(kEnumPath, kKeyRead, &enumKey);
    if (opened != kErrorSuccess) {
        if (opened != kErrorFileNotFound) *status = opened;
        return ids;
    }
    for (const auto& bus : enumKey.SubKeys()) {
        if (!enumerator.empty() && !EqualsIgnoreCase(bus, enumerator)) continue;
        RegKey busKey;
        if (RegKey::Open(enumKey.get(), bus, kKeyRead, &busKey) != kErrorSuccess) continue;
        for (const auto& device : busKey.SubKeys()) {
            RegKey deviceKey;
            if (RegKey::Open(busKey.get(), device, kKeyRead, &deviceKey) != kErrorSuccess) continue;
            for (const auto& instance : deviceKey.SubKeys())
                ids.push_back(bus + u'\\' + device + u'\\' + instance);
        }
    }
    return ids;
}

std::vector<InterfaceRegistration> FindInterfaceRegistrations(std::u16string_view instanceId) {
    std::vector<InterfaceRegistration> found;
    RegKey classes;
    if (RegKey::Open(kDeviceClassesPath, kKeyRead, &classes) != kErrorSuccess) return found;
    for (const auto& interfaceClass : classes.SubKeys()) {
        const std::u16string classPath = JoinPath(kDeviceClassesPath, interfaceClass);
        RegKey classKey;
        if (RegKey::Open(classPath, kKeyRead, &classKey) != kErrorSuccess) continue;
        for (const auto& reference : classKey.SubKeys()) {
            std::u16string path = JoinPath(classPath, reference);
            RegKey registration;
            if (RegKey::Open(path, kKeyQueryValue, &registration) != kErrorSuccess) continue;
            const auto owner = registration.ReadString(u"DeviceInstance");
            if (owner && EqualsIgnoreCase(*owner, instanceId))
                found.push_back({interfaceClass, std::move(path)});
        }
    }
    return found;
}

std::vector<std::u16string> ListDevices(std::u16string_view enumerator, std::u16string_view classGuid,
                                        LStatus* status) {
    auto ids = ListDeviceInstances(enumerator, status);
    if (classGuid.empty()) return ids;
    std::erase_if(ids, [classGuid](const std::u16string& id) {
        RegKey node;
        if (RegKey::Open(DeviceNodePath(id), kKeyQueryValue, &node) != kErrorSuccess) return true;
        const auto nodeClass = node.ReadString(u"ClassGUID");
        return !nodeClass || !EqualsIgnoreCase(*nodeClass, classGuid);
    });
    return ids;
}

}  // namespace qv::sim
