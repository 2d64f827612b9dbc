// What a team creation changes on its members before the team adapter exists, kept so that a failure in
// those steps can give it back: the protocol bindings it disabled and the team store entries it
// wrote the team number into.
#pragma once

#include <cstdint>

#include "qv/teamlib/team_store.h"

namespace qv {

struct MemberRestore {
    int unbound;  // members 0..unbound-1 had their bindings disabled by this run
    // Each member's Adapters entry before the team number was written.
    bool entriesSaved;
    bool adaptersKeyExisted;
    bool entryExisted[kMaxTeamMembers];
    bool hadTeamNumber[kMaxTeamMembers];
    uint32_t teamNumber[kMaxTeamMembers];
};

// Records the members' Adapters entries (whether each exists and its TeamNumber).
void SaveMemberEntries(const TeamInfo& team, MemberRestore* restore);

// Gives back what restore records: the saved entries (an entry the run created is deleted, one
// that existed gets its TeamNumber back, an Adapters key the run created goes when it is empty) and
// the bindings of the members it unbound.
void RestoreMembers(const TeamInfo& team, const MemberRestore& restore);

}  // namespace qv
