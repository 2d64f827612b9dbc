#include "qv/teamlib/member_restore.h"

#include <algorithm>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr char16_t kTeamNumberValue[] = u"TeamNumber";

int MemberCount(const TeamInfo& team) {
    return std::clamp(team.numNics, 0, kMaxTeamMembers);
}

bool EntryPath(const Guid& member, char16_t (&path)[kRegistryPathCapacity]) {
    char16_t guid[kRegistryPathCapacity];
    StringFromGuid(member, guid, kRegistryPathCapacity);
    return U16FormatInto(path, kRegistryPathCapacity, u"%s\\%s", kAdaptersKeyPath, guid);
}

void RestoreEntry(const Guid& member, bool existed, bool hadNumber, uint32_t number) {
    char16_t path[kRegistryPathCapacity];
    if (!EntryPath(member, path)) return;
    if (!existed) {
        if (reg::DeleteKey(kHkeyLocalMachine, path) != kErrorSuccess) {
            QvTrace(u"   RestoreMembers: cannot delete %s\n", path);
        }
        return;
    }
    ScopedKey key;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyAllAccess, key.Receive()) != kErrorSuccess) {
        QvTrace(u"   RestoreMembers: cannot open %s\n", path);
        return;
    }
    const LStatus status = hadNumber
                               ? reg::SetValueEx(key.get(), kTeamNumberValue, kRegDword,
                                                 reinterpret_cast<const uint8_t*>(&number), sizeof(number))
                               : reg::DeleteValue(key.get(), kTeamNumberValue);
    if (status != kErrorSuccess) QvTrace(u"   RestoreMembers: TeamNumber of %s not restored\n", path);
}

bool KeyExists(const char16_t* path) {
    ScopedKey key;
    return reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, key.Receive()) == kErrorSuccess;
}

}  // namespace

void SaveMemberEntries(const TeamInfo& team, MemberRestore* restore) {
    restore->adaptersKeyExisted = KeyExists(kAdaptersKeyPath);
    for (int i = 0; i < MemberCount(team); ++i) {
        char16_t path[kRegistryPathCapacity];
        ScopedKey key;
        restore->entryExisted[i] =
            EntryPath(team.memberGuids[i], path) &&
            reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, key.Receive()) == kErrorSuccess;
        uint32_t number = 0;
        restore->hadTeamNumber[i] =
            restore->entryExisted[i] && ReadDwordValue(key.get(), kTeamNumberValue, &number);
        restore->teamNumber[i] = number;
    }
    restore->entriesSaved = true;
}

void RestoreMembers(const TeamInfo& team, const MemberRestore& restore) {
    QvTrace(u"-->RestoreMembers:\n");
    const int members = MemberCount(team);
    if (restore.entriesSaved) {
        for (int i = 0; i < members; ++i) {
            RestoreEntry(team.memberGuids[i], restore.entryExisted[i], restore.hadTeamNumber[i],
                         restore.teamNumber[i]);
        }
        // Only an empty key can be deleted: one that has gained other entries stays.
        if (!restore.adaptersKeyExisted) reg::DeleteKey(kHkeyLocalMachine, kAdaptersKeyPath);
    }
    for (int i = 0; i < std::min(restore.unbound, members); ++i) {
        if (EnableProtocolNicBindings(team.memberGuids[i], 1, 1) != 1) {
            QvTrace(u"   RestoreMembers: bindings of member %d not enabled again\n", i);
        }
    }
    QvTrace(u"<--RestoreMembers:\n");
}

}  // namespace qv
