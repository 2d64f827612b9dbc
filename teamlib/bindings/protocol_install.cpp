#include <string>

#include "locked_netcfg.h"
#include "qv/platform/files.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/trace.h"

namespace qv {

HResult HrInstallNetComponent(INetCfg netCfg) {
    QvTrace(u"-->HrInstallNetComponent:");
    HResult result;
    {
        ScopedCom<INetCfgClassSetup> classSetup;
        result = netcfg::QueryNetCfgClassSetup(netCfg, kGuidDevClassNetTrans, classSetup.Receive());
        if (Succeeded(result)) {
            OboToken obo;
            obo.type = kOboUser;
            ScopedCom<INetCfgComponent> installed;
            result = netcfg::Install(classSetup.get(), kTeamProtocolComponentId, &obo, 0, 0, nullptr, nullptr,
                                     installed.Receive());
        }
    }
    if (!Succeeded(result)) {
        QvTrace(u"<--HrInstallNetComponent: 0x%x", result);
        return result;
    }
    result = netcfg::Apply(netCfg);
    QvTrace(u"<--HrInstallNetComponent: Apply 0x%x", result);
    return result;
}

int InstallProtocolDriver() {
    QvTrace(u"-->InstallProtocolDriver:");
    INetCfg netCfg = nullptr;
    std::u16string holder;
    const HResult acquired = AcquireLockedNetCfg(&netCfg, &holder);
    if (acquired != kSOk) {
        if (!holder.empty()) {
            QvTrace(u"   InstallProtocolDriver: %s currently holds the lock, try later\n", holder.c_str());
        } else {
            QvTrace(u"   InstallProtocolDriver: Didnt get notify object interface\n");
        }
        QvTrace(u"<--InstallProtocolDriver: AcquireNetCfg 0x%x", acquired);
        return 1;
    }

    char16_t infPath[kMaxPath];
    if (!GetProtocolInf(infPath)) {
        ReleaseNetCfg(netCfg, true);
        QvTrace(u"<--InstallProtocolDriver: no protocol INF");
        return 0;
    }
    // Installation goes by component id; the INF only shows that the package is there.
    QvTrace(u"   InstallProtocolDriver: %s", infPath);

    const HResult installed = HrInstallNetComponent(netCfg);
    if (installed == kSOk || installed == kNetcfgSReboot) {
        netcfg::Apply(netCfg);
    } else if (installed != HResultFromWin32(kErrorCancelled)) {
        QvTrace(u"   InstallProtocolDriver: Couldn't install the network component\n");
    }
    ReleaseNetCfg(netCfg, true);
    QvTrace(u"<--InstallProtocolDriver:");
    return 1;
}

}  // namespace qv
