// The OS-version port on the simulated host: the version the machine keeps under SOFTWARE\QvSim\Host
// (OsMajor, OsMinor, OsBuild, PlatformId). A machine without them answers as Windows Server 2003
// (5.2, build 3790). The service-pack, suite and product fields stay 0: the machine keeps none.
#include "qv/platform/os_version.h"

#include "qv/platform/wintypes.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"

namespace qv::os {

bool GetVersionEx(OsVersionInfo* info) {
    if (info == nullptr || info->osVersionInfoSize != sizeof(OsVersionInfo))
        return sim::FailWith(kErrorInvalidParameter);
    *info = OsVersionInfo{};
    info->majorVersion = sim::ReadHostValue(u"OsMajor").value_or(5);
    info->minorVersion = sim::ReadHostValue(u"OsMinor").value_or(2);
    info->buildNumber = sim::ReadHostValue(u"OsBuild").value_or(3790);
    info->platformId = sim::ReadHostValue(u"PlatformId").value_or(kVerPlatformWin32Nt);
    return true;
}

}  // namespace qv::os
