#include <string_view>

#include "qv/teamlib/device_state.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/windows_version.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"

namespace qv {

bool IsWinXPAndOffload(HWnd window) {
    QvTrace(u"-->IsWinXPAndOffload:");
    OsVersionInfo version;
    // When the version cannot be read the adapters are checked as on XP.
    if (ReadWindowsVersion(&version) && !(version.platformId == kVerPlatformWin32Nt &&
                                          version.majorVersion == 5 && version.minorVersion == 1)) {
        QvTrace(u"<--IsWinXPAndOffload: OS is not XP");
        return false;
    }
    WalkFilter physicalOnly;
    physicalOnly.virtualTeamAdapters = false;
    bool offload = false;
    WalkAdapters(window, physicalOnly, [&](WalkedAdapter& adapter) {
        OwnedU16 provider;
        if (!ReadStringFromRegistry(adapter.driverKey, u"ProviderName", &provider) ||
            std::u16string_view(provider.get()) != u"Quorvex") {
            return WalkStep::kContinue;
        }
        OwnedU16 tcpOffload;
        if (!ReadStringFromRegistry(adapter.driverKey, u"TCPOffload", &tcpOffload) ||
            std::u16string_view(tcpOffload.get()) != u"1") {
            return WalkStep::kContinue;
        }
        QvTrace(u"   IsWinXPAndOffload: offload is on for %s", adapter.guidString);
        offload = true;
        return WalkStep::kStop;
    });
    QvTrace(offload ? u"<--IsWinXPAndOffload: offload on" : u"<--IsWinXPAndOffload:");
    return offload;
}

}  // namespace qv
