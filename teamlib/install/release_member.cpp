#include "qv/teamlib/bindings.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/trace.h"

namespace qv {

int ReleaseTeamMember(const Guid& member) {
    QvTrace(u"-->ReleaseTeamMember:");
    DeleteAdapterEntry(member);
    int failed = 0;
    if (PopulateGuids(nullptr, nullptr, QV_SHOW_NIC, member) != 1) failed |= QV_RELEASE_SHOW_FAILED;
    if (EnableProtocolNicBindings(member, 1, 1) != 1) failed |= QV_RELEASE_BIND_FAILED;
    QvTrace(u"<--ReleaseTeamMember: 0x%x", failed);
    return failed;
}

}  // namespace qv
