// Device nodes of the simulated device database: the Enum tree, three levels (enumerator, device,
// instance) whose names joined with backslashes make the device instance id.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/registry.h"

namespace qv::sim {

// "SYSTEM\CurrentControlSet\Enum\" + instance id.
std::u16string DeviceNodePath(std::u16string_view instanceId);

// Instance ids of every device node, in registry enumeration order; only those below the given
// enumerator (e.g. "PCI", "ROOT") when it is not empty. A missing Enum tree is an empty list;
// other registry failures are returned in *status.
std::vector<std::u16string> ListDeviceInstances(std::u16string_view enumerator, LStatus* status);

}  // namespace qv::sim
