// Simulated machines for the QvTeamCmd suites: .reg fixtures applied to the test's own temporary
// machine, and small teams written directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::teamcmd::testing {

// Applies teamcmd/tests/fixtures/<name> to the selected machine; false (with the reason in the
// test log) when it cannot be read or imported.
bool ImportFixture(const std::string& name);

// GUID string of the n-th team adapter a test adds.
std::u16string TeamGuid(int n);

// A team: its virtual adapter ROOT\NET\<number> named name, and an Adapters entry per member with
// the TeamNumber and each member's Order.
struct TeamMember {
    std::u16string guid;
    uint32_t order;
};
bool AddTeam(int number, const std::u16string& teamGuid, const std::u16string& name, uint32_t teamNumber,
             const std::vector<TeamMember>& members);

}  // namespace qv::teamcmd::testing
