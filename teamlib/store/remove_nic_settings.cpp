#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/member_name.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr uint32_t kFriendlyNameBytes = 520;

bool IsMember(const TeamInfo& team, const Guid& guid) {
    const int members =
        team.numNics < 0 ? 0 : (team.numNics > kMaxTeamMembers ? kMaxTeamMembers : team.numNics);
    for (int i = 0; i < members; ++i) {
        if (GuidEqual(team.memberGuids[i], guid)) return true;
    }
    return false;
}

int RemoveSettings(HWnd window, const TeamInfo& team, const char16_t* teamName) {
    QvTrace(u"-->RemoveNICRegistrySettings:");
    WalkFilter physicalOnly;
    physicalOnly.virtualTeamAdapters = false;
    const bool walked = WalkAdapters(window, physicalOnly, [&](WalkedAdapter& adapter) {
        if (!IsMember(team, adapter.guid)) return WalkStep::kContinue;
        if (teamName != nullptr) {
            RestoreMemberName(adapter.set, adapter.device, teamName, kFriendlyNameBytes,
                              u"RemoveNICRegistrySettings");
        }
        if (reg::DeleteValue(adapter.driverKey, u"NetworkAddress") != kErrorSuccess) {
            QvTrace(u"   RemoveNICRegistrySettings: cannot delete NetworkAddress of %s", adapter.guidString);
        }
        return WalkStep::kContinue;
    });
    if (!walked) {
        QvTrace(u"<--RemoveNICRegistrySettings: cannot open the device list");
        return 0;
    }
    QvTrace(u"<--RemoveNICRegistrySettings:");
    return 1;
}

}  // namespace

int RemoveNICRegistrySettings(HWnd window, const TeamInfo& team) {
    return RemoveSettings(window, team, nullptr);
}

int RemoveNICRegistrySettings(HWnd window, const TeamInfo& team, const char16_t* teamName) {
    return RemoveSettings(window, team, teamName == nullptr ? u"" : teamName);
}

}  // namespace qv
