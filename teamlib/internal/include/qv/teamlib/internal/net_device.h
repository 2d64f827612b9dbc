// Finding a present network device by the NetCfgInstanceId of its driver key: the step that
// restarting, recording and removing a virtual adapter all begin with.
#pragma once

#include <functional>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/registry.h"

namespace qv {

// Walks the present network devices; at the first whose NetCfgInstanceId equals guid's string form
// exactly, calls visit with the set, the device and its driver key (opened with keyAccess), which
// stay open during the call. False, without calling visit, when the device list cannot be opened or
// no device matches.
bool VisitNetDevice(const Guid& guid, uint32_t keyAccess,
                    const std::function<void(HDevInfo set, DevInfoData* device, HKey driverKey)>& visit);

}  // namespace qv
