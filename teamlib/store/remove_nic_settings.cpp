#include <cstring>
#include <string_view>

#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
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

// Gives a member back its own name: the team put "<teamName>:" before it when the team was made.
// A name that is only the team name, or an empty team name, is left alone.
void RestoreFriendlyName(WalkedAdapter& adapter, std::u16string_view teamName) {
    char16_t name[kFriendlyNameBytes / 2 + 1];
    if (!ReadDisplayName(adapter.set, adapter.device, name, kFriendlyNameBytes / 2 + 1, kFriendlyNameBytes))
        return;
    const std::u16string_view current(name);
    if (teamName.empty() || current.size() <= teamName.size() ||
        current.substr(0, teamName.size()) != teamName) {
        return;
    }
    char16_t restored[kFriendlyNameBytes / 2] = {};
    U16FormatInto(restored, 256, u"%s", name + teamName.size() + 1);
    if (!dev::SetDeviceRegistryProperty(adapter.set, adapter.device, kSpdrpFriendlyName,
                                        reinterpret_cast<const uint8_t*>(restored), kFriendlyNameBytes)) {
        QvTrace(u"   RemoveNICRegistrySettings: cannot restore the name of %s", adapter.guidString);
    }
}

int RemoveSettings(HWnd window, const TeamInfo& team, const char16_t* teamName) {
    QvTrace(u"-->RemoveNICRegistrySettings:");
    WalkFilter physicalOnly;
    physicalOnly.virtualTeamAdapters = false;
    const bool walked = WalkAdapters(window, physicalOnly, [&](WalkedAdapter& adapter) {
        if (!IsMember(team, adapter.guid)) return WalkStep::kContinue;
        if (teamName != nullptr) RestoreFriendlyName(adapter, teamName);
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
