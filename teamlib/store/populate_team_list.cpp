#include <cstring>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// A DWORD value, or false when it cannot be read as exactly 4 bytes.
bool ReadDword(HKey key, const char16_t* name, int32_t* out) {
    uint32_t value = 0;
    uint32_t size = sizeof(value);
    uint32_t type = 0;
    if (reg::QueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(&value), &size) != kErrorSuccess ||
        size != sizeof(value)) {
        return false;
    }
    *out = static_cast<int32_t>(value);
    return true;
}

// The team adapter GUID that the member entry's TeamBinding names.
bool ReadTeamBinding(HKey memberKey, const char16_t* memberName, Guid* teamGuid) {
    OwnedU16 binding;
    if (!ReadStringFromRegistry(memberKey, u"TeamBinding", &binding)) {
        QvTrace(u"   PopulateTeamList: %s has no TeamBinding", memberName);
        return false;
    }
    OwnedU16 guidString = RemoveDevicePrefix(binding.get());
    if (!guidString) {
        QvTrace(u"   PopulateTeamList: TeamBinding of %s has no device prefix", memberName);
        return false;
    }
    if (!GuidFromString(guidString.get(), teamGuid)) {
        QvTrace(u"   PopulateTeamList: TeamBinding of %s names no GUID", memberName);
        return false;
    }
    return true;
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
    int32_t number = 0;
    if (ReadDword(memberKey, u"TeamNumber", &number)) {
        team.TeamMode = TeamModeOf(number);
        team.TeamNumber = number;
    }
    ReadDword(memberKey, u"Order", &team.Order[member]);
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
