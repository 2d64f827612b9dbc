#include "qv/platform/guid.h"
#include "qv/platform/process.h"
#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/platform/security.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr uint32_t kMaxProcesses = 1024;
constexpr uint32_t kImageNameCapacity = 260;

// 1 as soon as more than one running process has the image name, else 0.
int AnotherInstanceRuns(const char16_t* imageName) {
    return CountProcessesNamed(imageName, 2) > 1 ? 1 : 0;
}

}  // namespace

int CountProcessesNamed(const char16_t* imageName, int stopAt) {
    uint32_t ids[kMaxProcesses] = {};
    uint32_t bytes = 0;
    if (!proc::EnumProcesses(ids, sizeof(ids), &bytes)) {
        QvTrace(u"   IsRunning: EnumProcesses failed");
        return 0;
    }
    const uint32_t count = (bytes > sizeof(ids) ? sizeof(ids) : bytes) / sizeof(uint32_t);
    int matches = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char16_t name[kImageNameCapacity];
        U16CopyInto(name, kImageNameCapacity, u"<unknown>");
        proc::GetProcessImageBaseName(ids[i], name, kImageNameCapacity);
        name[kImageNameCapacity - 1] = u'\0';
        if (U16EqualNoCase(name, imageName) && ++matches >= stopAt) break;
    }
    return matches;
}

int IsQvTeamCfgRunning() {
    QvTrace(u"-->IsQvTeamCfgRunning:");
    const int running = AnotherInstanceRuns(u"QvTeamCfg.exe");
    QvTrace(u"<--IsQvTeamCfgRunning: %d", running);
    return running;
}

int IsQvTeamCmdRunning() {
    QvTrace(u"-->IsQvTeamCmdRunning:");
    const int running = AnotherInstanceRuns(u"QvTeamCmd.exe");
    QvTrace(u"<--IsQvTeamCmdRunning: %d", running);
    return running;
}

int IsUserAdmin() {
    QvTrace(u"-->IsUserAdmin:");
    bool member = false;
    if (!sec::CheckAdministratorsMembership(&member)) {
        QvTrace(u"<--IsUserAdmin: CheckTokenMembership failed");
        return 0;
    }
    QvTrace(u"<--IsUserAdmin: %d", member ? 1 : 0);
    return member ? 1 : 0;
}

bool AdministratorRightsMissing() {
    std::u16string path(u"SYSTEM\\CurrentControlSet\\Control\\Class\\");
    path += kGuidDevClassNetText;
    ScopedKey key;
    return reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, key.Receive()) ==
           kErrorAccessDenied;
}

}  // namespace qv
