// PopulateTeamList: the team table rebuilt from the Adapters entries of the members of the listed
// team adapters, and ReadTeamBinding, which tells the team an entry names.
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/internal/team_binding.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {

bool ReadTeamBinding(HKey entry, const char16_t* entryName, Guid* team) {
    OwnedU16 binding;
    if (!ReadStringFromRegistry(entry, u"TeamBinding", &binding)) {
        QvTrace(u"   ReadTeamBinding: %s has no TeamBinding", entryName);
        return false;
    }
    OwnedU16 guidString = RemoveDevicePrefix(binding.get());
    if (!guidString) {
        QvTrace(u"   ReadTeamBinding: TeamBinding of %s has no device prefix", entryName);
        return false;
    }
    if (!GuidFromString(guidString.get(), team)) {
        QvTrace(u"   ReadTeamBinding: TeamBinding of %s names no GUID", entryName);
        return false;
    }
    return true;
}

namespace {

// Order of a member whose stored Order is of the wrong type: it names no member, so the listing
// says "Error in listing Nic" rather than showing the first member in its place.
constexpr int32_t kDamagedOrder = -1;

// The member's TeamNumber and Order, read only as the REG_DWORDs they are written as. A missing
// value leaves the field as it was; a damaged TeamNumber is not taken (the adapter is reported as
// a damaged team record), a damaged Order names no member.
void ReadMemberNumbers(HKey memberKey, const char16_t* memberName, TeamInfo* team, int member) {
    uint32_t value = 0;
    switch (ReadDwordState(memberKey, u"TeamNumber", &value)) {
        case DwordRead::kOk:
            team->TeamMode = TeamModeOf(static_cast<int32_t>(value));
            team->TeamNumber = static_cast<int32_t>(value);
            break;
        case DwordRead::kWrongType:
            QvTrace(u"   PopulateTeamList: damaged TeamNumber on %s", memberName);
            break;
        case DwordRead::kMissing:
            break;
    }
    switch (ReadDwordState(memberKey, u"Order", &value)) {
        case DwordRead::kOk:
            team->Order[member] = static_cast<int32_t>(value);
            break;
        case DwordRead::kWrongType:
            QvTrace(u"   PopulateTeamList: damaged Order on %s", memberName);
            team->Order[member] = kDamagedOrder;
            break;
        case DwordRead::kMissing:
            break;
    }
}

void AddMember(TeamTable* table, std::span<const Guid> teamAdapters, HKey memberKey,
               const char16_t* memberName) {
    Guid teamGuid{};
    if (!ReadTeamBinding(memberKey, memberName, &teamGuid)) return;
    Guid memberGuid{};
    if (!GuidFromString(memberName, &memberGuid)) {
        QvTrace(u"   PopulateTeamList: entry %s is not a GUID", memberName);
        return;
    }
    const size_t considered =
        teamAdapters.size() < kMaxPopulatedTeams ? teamAdapters.size() : kMaxPopulatedTeams;
    size_t index = considered;
    for (size_t i = 0; i < considered; ++i) {
        if (GuidEqual(teamAdapters[i], teamGuid)) {
            index = i;
            break;
        }
    }
    if (index == considered || static_cast<int32_t>(index) >= table->capacity) {
        QvTrace(u"   PopulateTeamList: team adapter of %s is not listed", memberName);
        return;
    }
    TeamInfo& team = table->teams[index];
    if (team.numNics < 0 || team.numNics >= kMaxTeamMembers) {
        QvTrace(u"   PopulateTeamList: team %u already has %d members, %s ignored",
                static_cast<unsigned>(index), team.numNics, memberName);
        return;
    }
    if (!team.inUse) ++g_numTeams;
    team.inUse = 1;
    team.teamGuid = teamGuid;
    const int member = team.numNics++;
    team.memberGuids[member] = memberGuid;
    ReadMemberNumbers(memberKey, memberName, &team, member);
}

}  // namespace

int PopulateTeamList(TeamTable* table, std::span<const Guid> teamAdapters) {
    QvTrace(u"-->PopulateTeamList:");
    if (table == nullptr) {
        QvTrace(u"<--PopulateTeamList: no table");
        return 0;
    }
    if (teamAdapters.size() > kMaxPopulatedTeams) {
        QvTrace(u"   PopulateTeamList: %u team adapters, only the first %d are represented",
                static_cast<unsigned>(teamAdapters.size()), kMaxPopulatedTeams);
    }
    const LStatus status = ForEachAdapterEntry(kKeyAllAccess, [&](const char16_t* name, HKey member) {
        AddMember(table, teamAdapters, member, name);
        return true;
    });
    if (status != kErrorSuccess) {
        QvTrace(u"<--PopulateTeamList: no Adapters key, no teams");
        return 1;
    }
    QvTrace(u"<--PopulateTeamList: %d teams", g_numTeams);
    return 1;
}

int PopulateTeamList(TeamTable* table, const AdapterTable& teamAdapters) {
    const int count =
        teamAdapters.count < 0
            ? 0
            : (teamAdapters.count > kAdapterTableCapacity ? kAdapterTableCapacity : teamAdapters.count);
    return PopulateTeamList(table, std::span<const Guid>(teamAdapters.guids, static_cast<size_t>(count)));
}

int PopulateTeamList(TeamTable* table, const AdapterList& teamAdapters) {
    Guid guids[kAdapterListCapacity];
    const int count =
        teamAdapters.count < 0
            ? 0
            : (teamAdapters.count > kAdapterListCapacity ? kAdapterListCapacity : teamAdapters.count);
    for (int i = 0; i < count; ++i) guids[i] = teamAdapters.entries[i].guid;
    return PopulateTeamList(table, std::span<const Guid>(guids, static_cast<size_t>(count)));
}

}  // namespace qv
