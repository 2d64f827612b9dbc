#include "qv/teamlib/device_state.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/windows_version.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// Windows 5.2 changes the state in every hardware profile; the other versions only in the current
// one.
uint32_t StateChangeScope() {
    OsVersionInfo version;
    const bool server2003 =
        ReadWindowsVersion(&version) && version.majorVersion == 5 && version.minorVersion == 2;
    return server2003 ? kDicsFlagGlobal : kDicsFlagConfigSpecific;
}

void TraceRestartRequest(HDevInfo set, DevInfoData* device, const char16_t* caller) {
    DevInstallParams params;
    if (!dev::GetDeviceInstallParams(set, device, &params)) return;
    if (params.flags & (kDiNeedRestart | kDiNeedReboot)) {
        QvTrace(u"   %s: the device manager asks for a restart (flags 0x%x)", caller, params.flags);
    }
}

int ChangeDeviceState(HDevInfo set, DevInfoData* device, uint32_t stateChange, const char16_t* name) {
    QvTrace(u"-->%s:", name);
    PropChangeParams change;
    change.stateChange = stateChange;
    change.scope = StateChangeScope();
    change.hwProfile = 0;

    DevInstallParams params;
    if (dev::GetDeviceInstallParams(set, device, &params) && (params.flags & kDiDoNotCallConfigMg)) {
        QvTrace(u"<--%s: DI_DONOTCALLCONFIGMG set", name);
        return 0;
    }
    if (!dev::SetClassInstallParams(set, device, &change.header, sizeof(change))) {
        QvTrace(u"<--%s: SetupDiSetClassInstallParams failed 0x%x", name, GetLastError());
        return 0;
    }
    if (!dev::ChangeState(set, device)) {
        QvTrace(u"<--%s: SetupDiChangeState failed 0x%x", name, GetLastError());
        return 0;
    }
    TraceRestartRequest(set, device, name);
    QvTrace(u"<--%s:", name);
    return 1;
}

}  // namespace

int DisableDevice(HDevInfo set, DevInfoData* device) {
    return ChangeDeviceState(set, device, kDicsDisable, u"DisableDevice");
}

int EnableDevice(HDevInfo set, DevInfoData* device) {
    return ChangeDeviceState(set, device, kDicsEnable, u"EnableDevice");
}

int DisableEnableDevice(HDevInfo set, DevInfoData* device) {
    QvTrace(u"-->DisableEnableDevice:");
    DisableDevice(set, device);
    EnableDevice(set, device);
    QvTrace(u"<--DisableEnableDevice:");
    return 1;
}

int DisableEnableNic(const Guid& guid) {
    QvTrace(u"-->DisableEnableNic:");
    WalkFilter every;
    every.everyDevice = true;
    int found = 0;
    WalkAdapters(nullptr, every, [&](WalkedAdapter& adapter) {
        if (!GuidEqual(adapter.guid, guid)) return WalkStep::kContinue;
        found = 1;
        DisableEnableDevice(adapter.set, adapter.device);
        return WalkStep::kStop;
    });
    QvTrace(found ? u"<--DisableEnableNic:" : u"<--DisableEnableNic: no adapter with that GUID");
    return found;
}

}  // namespace qv
