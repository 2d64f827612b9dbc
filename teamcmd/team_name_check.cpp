#include "team_name_check.h"

#include <algorithm>
#include <memory>

#include "console.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv::teamcmd {

bool CheckTeamNameInUse(const CommandRecord& record) {
    QvTrace(u"-->CheckTeamNameInUse:\n");
    auto teams = std::make_unique<AdapterTable>();
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, teams.get());
    const int count = std::clamp(teams->count, 0, kAdapterTableCapacity);
    for (int i = 0; i < count; ++i) {
        if (U16EqualNoCase(record.teamName, teams->displayNames[i])) {
            PrintNarrow("\nThis team name is already in use. Try another name\n");
            QvTrace(u"<--CheckTeamNameInUse: %s in use\n", record.teamName);
            return false;
        }
    }
    QvTrace(u"<--CheckTeamNameInUse:\n");
    return true;
}

}  // namespace qv::teamcmd
