// Security port: membership of the caller's token in the local Administrators group.
#pragma once

namespace qv::sec {

// The one line every program prints (the GUI in its status box) when it lacks the administrator
// rights an operation needs, instead of showing nothing.
inline constexpr char kAdministratorRightsNeeded[] =
    "Administrator rights are needed: run this program as an administrator.";
inline constexpr char16_t kAdministratorRightsNeededW[] =
    u"Administrator rights are needed: run this program as an administrator.";

// AllocateAndInitializeSid(SECURITY_NT_AUTHORITY, BUILTIN, ADMINS) + CheckTokenMembership + FreeSid.
// Returns false when the check itself fails; *isMember is set only on success.
bool CheckAdministratorsMembership(bool* isMember);

}  // namespace qv::sec
