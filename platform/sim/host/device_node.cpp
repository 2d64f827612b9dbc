#include "device_node.h"

#include "qv/sim/host_state.h"
#include "reg_access.h"

namespace qv::sim {

std::u16string DeviceNodePath(std::u16string_view instanceId) {
    std::u16string path(kEnumPath);
    path += u'\\';
    path += instanceId;
    return path;
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
            for (const auto& instance : deviceKey.SubKeys()) {
                ids.push_back(bus + u'\\' + device + u'\\' + instance);
            }
        }
    }
    return ids;
}

}  // namespace qv::sim
