#include "qv/teamlib/install.h"
#include "qv/teamlib/trace.h"

namespace qv {

int RemoveTeamDetails(HDevInfo, DevInfoData*) {
    QvTrace(u"-->RemoveTeamDetails:");
    QvTrace(u"<--RemoveTeamDetails: not available");
    return 0;
}

}  // namespace qv
