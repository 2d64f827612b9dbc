// The security port on Windows: membership of the caller's token in BUILTIN\Administrators.
#include "qv/platform/security.h"

#include <windows.h>

namespace qv::sec {

bool CheckAdministratorsMembership(bool* isMember) {
    if (isMember == nullptr) return false;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    const bool checked = CheckTokenMembership(nullptr, administrators, &member) != FALSE;
    FreeSid(administrators);
    if (checked) *isMember = member != FALSE;
    return checked;
}

}  // namespace qv::sec
