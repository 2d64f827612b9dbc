#include "qv/teamlib/install.h"
#include "qv/teamlib/trace.h"

namespace qv {

int RemoveTeamDetails(HDevInfo set, DevInfoData* device) {
    QvTrace(u"-->RemoveTeamDetails:");
    RemoveDeviceParams remove;
    remove.scope = kDiRemoveDeviceGlobal;
    remove.hwProfile = 0;
    if (!dev::SetClassInstallParams(set, device, &remove.header, sizeof(remove))) {
        QvTrace(u"<--RemoveTeamDetails: SetupDiSetClassInstallParams failed 0x%x", GetLastError());
        return 0;
    }
    if (!dev::RemoveDevice(set, device)) {
        QvTrace(u"<--RemoveTeamDetails: SetupDiRemoveDevice failed 0x%x", GetLastError());
        return 0;
    }
    DevInstallParams params;
    if (dev::GetDeviceInstallParams(set, device, &params) &&
        (params.flags & (kDiNeedRestart | kDiNeedReboot))) {
        QvTrace(u"   RemoveTeamDetails: the device manager asks for a restart (flags 0x%x)", params.flags);
    }
    QvTrace(u"<--RemoveTeamDetails:");
    return 1;
}

}  // namespace qv
