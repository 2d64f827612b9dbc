#include "scenarios.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "qv/sim/regfile.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd::testing {

bool ImportFixture(const std::string& name) {
    const std::string path = std::string(QV_SOURCE_DIR) + "/teamcmd/tests/fixtures/" + name;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    std::string error;
    if (!file.good() || !qv::sim::ImportRegFile(content.str(), &error)) {
        ADD_FAILURE() << path << ": " << (error.empty() ? "cannot be read" : error);
        return false;
    }
    return true;
}

std::u16string TeamGuid(int n) {
    return U16Format(u"{5A5A7EA0-0000-4000-8000-0000000000%02X}", n + 1);
}

bool AddTeam(int number, const std::u16string& teamGuid, const std::u16string& name, uint32_t teamNumber,
             const std::vector<TeamMember>& members) {
    bool ok = qv::testing::AddTeamAdapter(number, teamGuid, name);
    for (const TeamMember& member : members) {
        ok = qv::testing::WriteStoreEntry(member.guid, teamGuid, teamNumber, member.order) && ok;
    }
    return ok;
}

}  // namespace qv::teamcmd::testing
