#include "qv/teamlib/bindings.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/net_device.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/trace.h"

namespace qv {

int ReleaseTeamMember(const Guid& member) {
    std::u16string holder;
    return ReleaseTeamMember(member, &holder);
}

// The entry is the record that finds the member again: it goes only after the member is shown and
// bound, so that a later removal can finish what this one could not.
int ReleaseTeamMember(const Guid& member, std::u16string* lockHolder) {
    QvTrace(u"-->ReleaseTeamMember:");
    lockHolder->clear();
    if (!VisitNetDevice(member, [](HDevInfo, DevInfoData*, HKey) {})) {
        QvTrace(u"<--ReleaseTeamMember: not present, the entry stays");
        return QV_RELEASE_ABSENT;
    }
    int failed = 0;
    if (PopulateGuids(nullptr, nullptr, QV_SHOW_NIC, member) != 1) failed |= QV_RELEASE_SHOW_FAILED;
    if (EnableProtocolNicBindings(member, 1, 1, lockHolder) != 1) failed |= QV_RELEASE_BIND_FAILED;
    if (failed == 0) DeleteAdapterEntry(member);
    QvTrace(u"<--ReleaseTeamMember: 0x%x", failed);
    return failed;
}

}  // namespace qv
