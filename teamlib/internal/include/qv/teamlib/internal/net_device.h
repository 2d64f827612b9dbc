// Finding a present network device by the NetCfgInstanceId of its driver key, compared as text
// with the GUID's string form: the step that hiding, recording and removing a virtual adapter
// begin with.
#pragma once

#include <functional>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/registry.h"

namespace qv {

// Walks every present network device (VLAN adapters and other vendors' adapters included); at the
// first whose NetCfgInstanceId equals guid's string form exactly, calls visit with the set, the
// device and its driver key (open for reading and writing), which stay open during the call. False,
// without calling visit, when the device list cannot be opened or no device matches.
bool VisitNetDevice(const Guid& guid,
                    const std::function<void(HDevInfo set, DevInfoData* device, HKey driverKey)>& visit);

}  // namespace qv
