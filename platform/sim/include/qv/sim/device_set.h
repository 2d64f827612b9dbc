// What a device information set handle refers to on the simulated host. As on Windows, one kind
// of set serves both lookups: a class device set (GetClassDevs) lists devices, an interface set
// (GetClassDevsA with DIGCF_DEVICEINTERFACE) lists the interfaces of one interface class; both are
// destroyed by DestroyDeviceInfoList.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qv/platform/guid.h"
#include "qv/sim/handle_table.h"

namespace qv::sim {

// One interface of an interface set: its device path and the device that registered it.
struct InterfaceMember {
    std::string path;
    std::u16string deviceInstance;
};

struct DeviceSet : HandleObject {
    static constexpr HandleKind kKind = HandleKind::kDeviceSet;
    // Devices found when the set was made, in enumeration order (device instance handles).
    std::vector<uint32_t> devices;
    // Interfaces of interfaceClass found when the set was made, in enumeration order.
    Guid interfaceClass{};
    std::vector<InterfaceMember> interfaces;
};

}  // namespace qv::sim
