// Device nodes of the simulated device database. The paths and the Enum walk are part of the
// device database's interface (qv/sim/device_database.h); the host's own files include them from
// here, with the helpers the database's parts share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qv/sim/device_database.h"

namespace qv::sim {

// Whether the device has its node under Enum.
bool NodeExists(std::u16string_view instanceId);

// A device's registration under DeviceClasses: its interface class and the key's path.
struct InterfaceRegistration {
    std::u16string interfaceClass;
    std::u16string path;
};
// Every registration whose DeviceInstance is the device (ignoring case), in enumeration order.
std::vector<InterfaceRegistration> FindInterfaceRegistrations(std::u16string_view instanceId);

}  // namespace qv::sim
