// QvTeamCmd as a process on machines whose team store was damaged after the programs wrote it:
// VlanBinding lists with entries of no present VLAN adapter, and TeamNumber values of the wrong
// type. The real VLAN adapters are still listed, deleted and removed with their team; a damaged
// team record is reported, its adapter is never offered as free, and -r removes it with its team.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "golden.h"
#include "program_run.h"
#include "qv/platform/registry.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/testing/team_setup.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::teamcmd {
namespace {

using qv::testing::DefaultPortGuid;
using qv::testing::ReadAdapter;
using qv::testing::StoreEntryPath;
using testing::Golden;

const std::string kTeamConnection = "Local Area Connection 6";

// A fresh machine with the team Team0 over the first two ports, made by the program.
class TeamMachine {
  public:
    TeamMachine() {
        EXPECT_TRUE(machine_.ok());
        EXPECT_EQ(Run({"-n", "Team0", "-c", "Local Area Connection", "Local Area Connection 2", "1"}).status,
                  0);
    }

    Exited Run(const std::vector<std::string>& args) const {
        return RunProgram(machine_.dir(), args, {"QV_VIRTUAL_TIME=1"});
    }

    // Adds the VLAN Voice 100 over the team and reads it back while the store is sound.
    struct Vlan {
        Guid guid;
        std::string connectionName;
    };
    Vlan AddTeamVlan() const {
        EXPECT_EQ(Run({"-a", "Team0", "Voice", "100"}).status, 1);
        AdapterTable teams{};
        EXPECT_EQ(QueryAdapters(QV_POPULATE, Guid{}, QV_KIND_TEAM_ADAPTERS, &teams), 1);
        auto vlans = std::make_unique<VlanList>();
        EXPECT_TRUE(GetVlanListForTeam(teams.guids[0], vlans.get()));
        EXPECT_EQ(vlans->count, 1);
        return {vlans->guids[0], ToUtf8(vlans->connectionNames[0])};
    }

  private:
    qv::testing::TempMachine machine_;
};

// A member's VlanBinding as a pattern: "R" stands for the VLAN's own binding, "r" for it with its
// GUID in lower case, "U" for the binding of an unknown GUID.
std::vector<uint8_t> BindingBytes(const std::vector<std::u16string>& pattern, const Guid& vlan) {
    const std::u16string real = u"\\Device\\" + GuidToString(vlan);
    std::u16string list;
    for (const std::u16string& entry : pattern) {
        std::u16string text = entry == u"R" || entry == u"r" ? real : entry;
        if (entry == u"r") {
            for (auto& c : text) c = (c >= u'A' && c <= u'F') ? static_cast<char16_t>(c + 32) : c;
        } else if (entry == u"U") {
            text = u"\\Device\\{11111111-2222-3333-4444-555555555555}";
        }
        list += text + u'\0';
    }
    return qv::testing::Utf16Bytes(list + u'\0');
}

// Each of these hid the VLAN adapter from the listing, from -d all, and from -r, which left it
// behind as an orphan.
TEST(DamagedStore, UnknownVlanBindingsHideNoVlanFromListingDeletionOrRemoval) {
    const struct {
        const char* what;
        std::vector<std::u16string> first, second;  // the members' lists
    } cases[] = {
        {"first member lists only an unknown GUID", {u"U"}, {u"U", u"R"}},
        {"an empty entry before the real one", {u"U", u"", u"R"}, {u"", u"R"}},
        {"the real one in lower case", {u"r"}, {u"r"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TeamMachine machine;
        const auto damage = [&](const Guid& vlan) {
            ASSERT_TRUE(qv::testing::WriteValueBytes(StoreEntryPath(DefaultPortGuid(0)), u"VlanBinding",
                                                     kRegMultiSz, BindingBytes(c.first, vlan)));
            ASSERT_TRUE(qv::testing::WriteValueBytes(StoreEntryPath(DefaultPortGuid(1)), u"VlanBinding",
                                                     kRegMultiSz, BindingBytes(c.second, vlan)));
        };

        TeamMachine::Vlan vlan = machine.AddTeamVlan();
        damage(vlan.guid);
        const Exited listed = machine.Run({"-l"});
        EXPECT_NE(listed.output.find("  Vlans in Team:\n      1. " + vlan.connectionName + " (Vlan 100)\n"),
                  std::string::npos)
            << listed.output;
        EXPECT_EQ(machine.Run({"-d", "all"}).output,
                  kBanner + "   Removing Vlan " + kTeamConnection + " : Voice\n");
        EXPECT_FALSE(ReadAdapter(vlan.guid).present);

        vlan = machine.AddTeamVlan();
        damage(vlan.guid);
        EXPECT_EQ(machine.Run({"-r"}).output, kBanner + "   Removing Vlan (" + kTeamConnection +
                                                  " : Voice)\n   Removing Team : " + kTeamConnection +
                                                  "\n   Successfully Removed team\n");
        EXPECT_FALSE(ReadAdapter(vlan.guid).present) << "the VLAN adapter outlived its team";
    }
}

// A member's TeamNumber of the wrong type (the sizes are the library suite's): the member stays in
// its team, is not offered to -a or -c, is reported once, and -r removes its record with the team.
TEST(DamagedStore, WrongTypedTeamNumberIsReportedAndNeverFree) {
    const struct {
        uint32_t type;
        std::vector<uint8_t> bytes;
    } cases[] = {{kRegSz, qv::testing::StringBytes(u"288")}, {kRegBinary, qv::testing::DwordBytes(0x120)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const TeamMachine machine;
        ASSERT_TRUE(
            qv::testing::WriteValueBytes(StoreEntryPath(DefaultPortGuid(0)), u"TeamNumber", c.type, c.bytes));

        const Exited listed = machine.Run({"-l"});
        EXPECT_EQ(listed.status, 1);
        EXPECT_EQ(listed.output, kBanner + Golden("listing_damaged_member.txt"));
        EXPECT_EQ(machine.Run({"-a", "Local Area Connection", "V", "5"}).output,
                  kBanner + "Parameter Incorrect - Nic (or Team) Name\n");
        const Exited team =
            machine.Run({"-n", "Team1", "-c", "Local Area Connection", "Local Area Connection 3", "1"});
        EXPECT_EQ(team.status, 0x02);
        EXPECT_EQ(team.output,
                  kBanner + "System Unknown Name Local Area Connection \nTeam Creation Failed \n");

        EXPECT_EQ(machine.Run({"-r"}).status, 1);
        EXPECT_FALSE(ReadAdapter(DefaultPortGuid(0)).hasStoreEntry);
        EXPECT_EQ(machine.Run({"-l"}).output, kBanner + Golden("listing_default.txt"));
    }
}

}  // namespace
}  // namespace qv::teamcmd
