// Security port: membership of the caller's token in the local Administrators group.
#pragma once

namespace qv::sec {

// AllocateAndInitializeSid(SECURITY_NT_AUTHORITY, BUILTIN, ADMINS) + CheckTokenMembership + FreeSid.
// Returns false when the check itself fails; *isMember is set only on success.
bool CheckAdministratorsMembership(bool* isMember);

}  // namespace qv::sec
