#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/member_name.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr size_t kTeamNameCapacity = 256;

// The display name of the team in the GUI's team list, at most 255 units; false when not listed.
bool FindTeamName(const AdapterList& teamAdapters, const Guid& team, char16_t* name) {
    const int count =
        teamAdapters.count < 0
            ? 0
            : (teamAdapters.count > kAdapterListCapacity ? kAdapterListCapacity : teamAdapters.count);
    for (int i = 0; i < count; ++i) {
        const AdapterEntry& entry = teamAdapters.entries[i];
        if (!GuidEqual(entry.guid, team)) continue;
        size_t length = 0;
        U16LengthWithin(entry.displayName, kAdapterNameCapacity, &length);
        U16CopyInto(name, kTeamNameCapacity, std::u16string_view(entry.displayName, length));
        return true;
    }
    return false;
}

}  // namespace

int SetNicFriendlyName(const AdapterList& teamAdapters, const Guid& team, const Guid& member) {
    QvTrace(u"-->SetNicFriendlyName:");
    char16_t teamName[kTeamNameCapacity] = {};
    if (!FindTeamName(teamAdapters, team, teamName)) {
        QvTrace(u"<--SetNicFriendlyName: team not in the list");
        return 0;
    }
    WalkFilter physicalOnly;
    physicalOnly.virtualTeamAdapters = false;
    WalkAdapters(nullptr, physicalOnly, [&](WalkedAdapter& adapter) {
        if (!GuidEqual(adapter.guid, member)) return WalkStep::kContinue;
        if (RestoreMemberName(adapter.set, adapter.device, teamName, kMemberNameBytes,
                              u"SetNicFriendlyName")) {
            QvTrace(u"   SetNicFriendlyName: name of %s restored", adapter.guidString);
        }
        return WalkStep::kStop;
    });
    QvTrace(u"<--SetNicFriendlyName:");
    return 1;
}

}  // namespace qv
