#include "scenarios.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "qv/sim/regfile.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "qv/testing/golden.h"
#include "qv/testing/temp_dir.h"

namespace qv::teamcmd::testing {

bool ImportFixture(const std::string& name) {
    const auto path = qv::testing::SourcePath("teamcmd/tests/fixtures/" + name);
    std::string error;
    if (!std::filesystem::is_regular_file(path) ||
        !qv::sim::ImportRegFile(qv::testing::ReadFile(path), &error)) {
        ADD_FAILURE() << path.string() << ": " << (error.empty() ? "cannot be read" : error);
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
