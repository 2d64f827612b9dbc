#include "qv/teamcfg/tray.h"

#include <string>

#include "qv/platform/process.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"

namespace qv::cfg {
namespace {

constexpr uint32_t kPathCapacity = 260;

}  // namespace

int IsQvTrayRunning() {
    return CountProcessesNamed(kTrayImageName, 1) > 0 ? 1 : 0;
}

void CreateTrayIcon() {
    char16_t directory[kPathCapacity] = {};
    const uint32_t length = proc::GetSystemDirectory(directory, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        QvTrace(u"   CreateTrayIcon: GetSystemDirectory failed");
        return;
    }
    std::u16string path(directory, length);
    if (path.back() == u'\\' || path.back() == u'/') path.pop_back();
    path += u"\\";
    path += kTrayImageName;
    if (IsQvTrayRunning()) return;
    if (!proc::StartDetachedProgram(path.c_str()))
        QvTrace(u"   CreateTrayIcon: the tray program did not start");
}

void StopTrayIcon(uint32_t termTrayMessage) {
    proc::BroadcastToApplications(termTrayMessage, 0, 0);
}

}  // namespace qv::cfg
