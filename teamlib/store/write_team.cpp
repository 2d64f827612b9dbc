#include <string_view>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {

int WriteIntoTeamRegistry(const TeamInfo& team, uint32_t flags, int32_t teamNumber) {
    QvTrace(u"-->WriteIntoTeamRegistry: flags %u number 0x%x", flags, teamNumber);
    OwnedU16 binding;
    uint32_t bindingBytes = 0;
    if (flags & QV_SET_TEAM_BINDING) {
        char16_t teamGuid[kRegistryPathCapacity];
        StringFromGuid(team.teamGuid, teamGuid, kRegistryPathCapacity);
        binding = AddDevicePrefix(teamGuid);
        if (!binding) {
            QvTrace(u"<--WriteIntoTeamRegistry: cannot build the binding");
            return 0;
        }
        bindingBytes =
            static_cast<uint32_t>((std::u16string_view(binding.get()).size() + 1) * sizeof(char16_t));
    }
    const int members =
        team.numNics < 0 ? 0 : (team.numNics > kMaxTeamMembers ? kMaxTeamMembers : team.numNics);
    for (int i = 0; i < members; ++i) {
        char16_t memberGuid[kRegistryPathCapacity];
        StringFromGuid(team.memberGuids[i], memberGuid, kRegistryPathCapacity);
        char16_t path[kRegistryPathCapacity];
        if (!U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath, memberGuid)) {
            QvTrace(u"   WriteIntoTeamRegistry: path of member %d too long", i);
            break;
        }
        ScopedKey key;
        uint32_t disposition = 0;
        if (reg::CreateKeyEx(kHkeyLocalMachine, path, kRegOptionNonVolatile, kKeyAllAccess, key.Receive(),
                             &disposition) != kErrorSuccess) {
            QvTrace(u"   WriteIntoTeamRegistry: cannot create %s", path);
            continue;
        }
        if (flags & QV_SET_TEAM_NUMBER) {
            const uint32_t value = static_cast<uint32_t>(teamNumber);
            reg::SetValueEx(key.get(), u"TeamNumber", kRegDword, reinterpret_cast<const uint8_t*>(&value),
                            sizeof(value));
        }
        if (flags & QV_SET_TEAM_BINDING) {
            reg::SetValueEx(key.get(), u"TeamBinding", kRegSz,
                            reinterpret_cast<const uint8_t*>(binding.get()), bindingBytes);
        }
        if (flags & QV_SET_ORDER) {
            const uint32_t value = static_cast<uint32_t>(team.Order[i]);
            reg::SetValueEx(key.get(), u"Order", kRegDword, reinterpret_cast<const uint8_t*>(&value),
                            sizeof(value));
        }
    }
    QvTrace(u"<--WriteIntoTeamRegistry:");
    return 1;
}

}  // namespace qv
