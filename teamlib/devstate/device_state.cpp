#include "qv/teamlib/device_state.h"

#include "qv/teamlib/trace.h"

namespace qv {

int HideNIC(HKey) {
    QvTrace(u"-->HideNIC:");
    QvTrace(u"<--HideNIC: not available");
    return 0;
}

int ShowNIC(HKey) {
    QvTrace(u"-->ShowNIC:");
    QvTrace(u"<--ShowNIC: not available");
    return 0;
}

int DisableEnableDevice(HDevInfo, DevInfoData*) {
    QvTrace(u"-->DisableEnableDevice:");
    QvTrace(u"<--DisableEnableDevice: not available");
    return 0;
}

}  // namespace qv
