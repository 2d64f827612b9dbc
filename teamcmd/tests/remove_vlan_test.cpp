// QvTeamCmd -r, -a and -d as processes on temporary machines: what they print, the status a shell
// sees and what they leave on the machine. Teams are made in the test process with the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "golden.h"
#include "program_run.h"
#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/testing/team_setup.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan_list.h"
#include "qv/testing/temp_machine.h"
#include "scenarios.h"

namespace qv::teamcmd {
namespace {

using qv::testing::AdapterState;
using qv::testing::DefaultPortGuid;
using qv::testing::ReadAdapter;
using qv::testing::TempMachine;
using testing::Golden;

const std::string kNoMatch = "   No matching team found, Team Removal failed\n";
const std::string kBadParent = "Parameter Incorrect - Nic (or Team) Name\n";
const std::string kVlanUsed = "Parameter Incorrect - Vlan name or Vlan Id already used\n";
constexpr uint32_t kShown = 0x84;
constexpr uint32_t kHidden = 0x8C;

// A log path for the command line: relative, since an argument that begins with "/" is an option.
std::string LogArg(const std::filesystem::path& log) {
    return std::filesystem::relative(log).string();
}

std::string U8(const std::u16string& text) {
    return ToUtf8(text);
}

Exited RunOn(const TempMachine& machine, const std::vector<std::string>& args) {
    return RunProgram(machine.dir(), args, {"QV_VIRTUAL_TIME=1"});
}

// The log with its one varying line, the time of the header, replaced by "<time>".
std::string LogText(const std::filesystem::path& log) {
    static const std::regex kTime(
        "[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\r\n");
    return std::regex_replace(qv::testing::ReadFile(log), kTime, "<time>\r\n");
}

std::u16string PortName(int port) {
    return ReadAdapter(DefaultPortGuid(port)).friendlyName;
}

// A port that left its team or lost its last VLAN: shown, bound again, no team store entry.
void ExpectFree(const std::u16string& guid, const std::u16string& name) {
    const AdapterState state = ReadAdapter(guid);
    EXPECT_EQ(state.characteristics, kShown) << U8(guid);
    EXPECT_EQ(state.friendlyName, name);
    EXPECT_FALSE(state.hasNetworkAddress) << U8(guid);
    EXPECT_FALSE(state.hasStoreEntry) << U8(guid);
    EXPECT_TRUE(state.disabled.empty()) << U8(guid);
    EXPECT_FALSE(state.enabled.empty()) << U8(guid);
}

// Taken over by a team or by VLANs: hidden, only the teaming protocol bound.
void ExpectTakenOver(const std::u16string& guid) {
    const AdapterState state = ReadAdapter(guid);
    EXPECT_EQ(state.characteristics.value_or(0) & 0x8, 0x8u) << U8(guid);
    EXPECT_EQ(state.enabled, std::vector<std::u16string>{u"qv_qvteamp"}) << U8(guid);
    EXPECT_FALSE(state.disabled.empty()) << U8(guid);
}

std::unique_ptr<VlanList> Vlans(const Guid& parent, bool isTeam) {
    auto list = std::make_unique<VlanList>();
    EXPECT_TRUE(isTeam ? GetVlanListForTeam(parent, list.get()) : GetVlanListForNic(parent, list.get()));
    return list;
}

// By connection name, by display name in any case, and named twice (removed once).
TEST(RemoveTeamProgram, ByConnectionOrDisplayNameFreesTheMembers) {
    for (const int naming : {0, 1, 2}) {
        TempMachine machine;
        ASSERT_TRUE(machine.ok());
        const std::u16string names[] = {PortName(0), PortName(1)};
        const auto team = qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
        ASSERT_EQ(PortName(0), u"Team0:" + names[0]);
        ExpectTakenOver(DefaultPortGuid(0));
        const std::string connection = U8(team.connectionName);
        const std::vector<std::vector<std::string>> args = {
            {"-r", connection}, {"-r", "tEAM0"}, {"-r", "Team0", "Nope", connection}};

        const Exited exited = RunOn(machine, args[naming]);
        EXPECT_EQ(exited.status, 1);
        EXPECT_EQ(exited.output,
                  kBanner + "   Removing Team : " + connection + "\n   Successfully Removed team\n");
        EXPECT_FALSE(ReadAdapter(team.guid).present);
        for (const int port : {0, 1}) {
            ExpectFree(DefaultPortGuid(port), names[port]);
        }
    }
}

TEST(RemoveTeamProgram, NoMatchingTeamFailsWithStatusTwoAndLogsIt) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
    const auto log = machine.scratch().path() / "remove.log";
    // A physical adapter's name or an unknown name selects no team; neither does an empty name.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-r", "Nope"},
                                                 {"-r", "Local Area Connection 3"},
                                                 {"-r", "Nope", "-f", LogArg(log)}}) {
        const Exited exited = RunOn(machine, args);
        EXPECT_EQ(exited.status, 2) << args[1];
        EXPECT_EQ(exited.output, kBanner + kNoMatch) << args[1];
    }
    EXPECT_EQ(LogText(log), Golden("log_remove_no_match.txt"));
    EXPECT_TRUE(ReadAdapter(DefaultPortGuid(0)).hasStoreEntry);
}

// Remove-all deletes the teams' VLANs, then removes each team; -f logs every team.
TEST(RemoveTeamProgram, RemoveAllWithLog) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::u16string names[] = {PortName(0), PortName(1), PortName(2), PortName(3)};
    const auto team0 = qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
    const auto team1 = qv::testing::MakeTeam(u"Team1", {2, 3}, 1);
    const std::u16string vlan = qv::testing::MakeVlan(team1.guid, u"Team1", u"Voice", 7, true);
    const auto log = machine.scratch().path() / "remove.log";

    const Exited exited = RunOn(machine, {"-r", "-f", LogArg(log)});
    EXPECT_EQ(exited.status, 1);
    EXPECT_EQ(exited.output, kBanner + Golden("remove_all.txt"));
    EXPECT_EQ(LogText(log), Golden("log_remove_all.txt"));
    for (int port = 0; port < 4; ++port) {
        ExpectFree(DefaultPortGuid(port), names[port]);
    }
    EXPECT_FALSE(ReadAdapter(team0.guid).present);
    EXPECT_FALSE(ReadAdapter(team1.guid).present);
    // With its last entry the team store's root key goes too, as on a machine that had no team.
    HKey adapters = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, kAdaptersKeyPath, kKeyRead, &adapters), kErrorFileNotFound);
    VlanList left{};
    EXPECT_FALSE(GetVlanListForTeam(team1.guid, &left));
}

// Five teams: naming all five is refused before anything changes (their VLANs stay); the fifth is
// removed by name, and -r alone removes the rest with their VLANs, leaving the machine as it was.
TEST(RemoveTeamProgram, FiveTeamsRefusedByNameBeforeAnyChangeAndEachRemovable) {
    TempMachine machine(sim::InventoryOptions{.cards = 5});
    ASSERT_TRUE(machine.ok());
    const std::string before = qv::testing::ExportRegistry();
    std::vector<std::string> named = {"-r"};
    std::vector<Guid> teams;
    for (int n = 0; n < 5; ++n) {
        const std::u16string name = U16Format(u"Team%d", n);
        teams.push_back(qv::testing::MakeTeam(name, {2 * n, 2 * n + 1}, n).guid);
        if (n == 0 || n == 4) qv::testing::MakeVlan(teams.back(), name, u"V", 10 + n, true);
        named.push_back(U8(name));
    }
    const auto log = machine.scratch().path() / "remove.log";
    named.insert(named.end(), {"-f", LogArg(log)});
    const Exited refused = RunOn(machine, named);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.output, kBanner + "   Selected team items (5)  more than 4, Team Removal failed\n");
    EXPECT_EQ(LogText(log), Golden("log_remove_too_many.txt"));
    for (const int n : {0, 4}) EXPECT_EQ(Vlans(teams[n], true)->count, 1);

    const Exited fifth = RunOn(machine, {"-r", "Team4"});
    EXPECT_EQ(fifth.status, 1) << fifth.output;
    const auto removedTeams = [](const std::string& output) {
        int count = 0;
        for (size_t at = 0; (at = output.find("   Successfully Removed team\n", at)) != std::string::npos;
             ++at) {
            ++count;
        }
        return count;
    };
    EXPECT_EQ(removedTeams(fifth.output), 1) << fifth.output;
    EXPECT_FALSE(ReadAdapter(teams[4]).present);
    const Exited rest = RunOn(machine, {"-r"});
    EXPECT_EQ(rest.status, 1) << rest.output;
    EXPECT_EQ(removedTeams(rest.output), 4) << rest.output;
    EXPECT_EQ(qv::testing::ExportRegistry(), before);
}

// A team adapter without store entries listed before a team does not hide the team from -r by
// name; remove-all also takes the bare team adapter away. A VLAN adapter is never taken for a team.
TEST(RemoveTeamProgram, AdaptersWithoutTeamEntriesBeforeTheTeam) {
    for (const bool removeAll : {false, true}) {
        TempMachine machine;
        ASSERT_TRUE(machine.ok());
        const Guid bare = qv::testing::InstallBareTeamAdapter(u"Bare");
        const std::u16string vlan = qv::testing::MakeVlan(qv::testing::ToGuid(DefaultPortGuid(2)),
                                                          u"Local Area Connection 3", u"Data", 5, false);
        const std::u16string names[] = {PortName(0), PortName(1)};
        const auto team = qv::testing::MakeTeam(u"Team0", {0, 1}, 0);

        const Exited exited = RunOn(
            machine, removeAll ? std::vector<std::string>{"-r"} : std::vector<std::string>{"-r", "Team0"});
        EXPECT_EQ(exited.status, 1);
        const std::string teamLines =
            "   Removing Team : " + U8(team.connectionName) + "\n   Successfully Removed team\n";
        const std::string bareLines =
            removeAll ? "   Removing Team : Local Area Connection 6\n   Successfully Removed team\n" : "";
        EXPECT_EQ(exited.output, kBanner + bareLines + teamLines);
        EXPECT_FALSE(ReadAdapter(team.guid).present);
        EXPECT_EQ(ReadAdapter(bare).present, !removeAll);
        EXPECT_EQ(Vlans(qv::testing::ToGuid(DefaultPortGuid(2)), false)->count, 1) << "the VLAN stays";
        for (const int port : {0, 1}) {
            ExpectFree(DefaultPortGuid(port), names[port]);
        }
        // A team adapter without members on record (a removal cut short) is removed by its name too.
        if (!removeAll) {
            EXPECT_EQ(RunOn(machine, {"-r", "Bare"}).status, 1);
            EXPECT_FALSE(ReadAdapter(bare).present);
        }
    }
}

// With the network configuration locked by another program, a VLAN add and a removal fail, name
// the holder and change nothing; once it is free the removal goes through.
TEST(LockedNetworkConfiguration, VlanAddAndRemovalFailBeforeAnyChange) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    ASSERT_TRUE(sim::HoldWriteLock(u"Backup Agent", nullptr));  // the lock's record, as after any holder
    ASSERT_TRUE(sim::FreeWriteLock());
    const std::string noTeam = qv::testing::ExportRegistry();
    qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
    ASSERT_TRUE(sim::HoldWriteLock(u"Backup Agent", nullptr));
    const std::string before = qv::testing::ExportRegistry();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string output;
    } cases[] = {
        {{"-a", "Local Area Connection 3", "V", "5"},
         0x02,
         "Network configuration is locked by Backup Agent, Vlan Creation Failed \n"},
        {{"-a", "Team0", "V", "5"},
         0x02,
         "Network configuration is locked by Backup Agent, Vlan Creation Failed \n"},
        {{"-r"}, 2, "   Network configuration is locked by Backup Agent, Team Removal failed\n"},
        {{"-r", "Team0"}, 2, "   Network configuration is locked by Backup Agent, Team Removal failed\n"},
    };
    for (const auto& c : cases) {
        const Exited exited = RunOn(machine, c.args);
        EXPECT_EQ(exited.status, c.status) << c.args[1];
        EXPECT_EQ(exited.output, kBanner + c.output) << c.args[1];
        EXPECT_EQ(qv::testing::ExportRegistry(), before) << c.args[1];
    }
    ASSERT_TRUE(sim::FreeWriteLock());
    EXPECT_EQ(RunOn(machine, {"-r"}).status, 1);
    EXPECT_EQ(qv::testing::ExportRegistry(), noTeam);
}

// A member that is not present keeps its entry and the team adapter with it; once it is present,
// the next -r gives it back with its own name (the prefix compared without regard to case).
TEST(RemoveTeamProgram, AbsentMemberKeepsTheTeamUntilItIsPresent) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::u16string names[] = {PortName(0), PortName(1)};
    const std::string noTeam = qv::testing::ExportRegistry();
    const auto team = qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
    const auto second = sim::FindDeviceByConnectionName(u"Local Area Connection 2");
    ASSERT_TRUE(second.has_value());
    ASSERT_TRUE(sim::WriteDeviceState(*second, sim::kStatePresent, 0));

    const Exited kept = RunOn(machine, {"-r", "TEAM0"});
    EXPECT_EQ(kept.status, 2);
    const std::string connection = U8(team.connectionName);
    EXPECT_EQ(kept.output, kBanner + "   Removing Team : " + connection + "\n   Nic " +
                               U8(DefaultPortGuid(1)) + " is not present, it stays in the team\n   Team " +
                               connection +
                               " kept until every member is given back: run QvTeamCmd -r again\n");
    ExpectFree(DefaultPortGuid(0), names[0]);
    EXPECT_TRUE(ReadAdapter(team.guid).present);

    ASSERT_TRUE(sim::WriteDeviceState(*second, sim::kStatePresent, 1));
    const Exited finished = RunOn(machine, {"-r"});
    EXPECT_EQ(finished.status, 1) << finished.output;
    ExpectFree(DefaultPortGuid(1), names[1]);
    EXPECT_EQ(qv::testing::ExportRegistry(), noTeam);
}

TEST(AddVlanProgram, OverAnAdapterAndATeam) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const auto team = qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
    const std::string port3 = "Local Area Connection 3";
    struct Case {
        std::vector<std::string> args;
        std::string output;
        int status;
    };
    const Case cases[] = {
        {{"-a", port3, "Sales", "42"}, "", 1},
        {{"-a", port3, "sALES", "43"}, kVlanUsed, 1},
        {{"-a", port3, "Other", "42"}, kVlanUsed, 1},
        {{"-a", "local area connection 3", "Voice", "43"}, "", 1},
        {{"-a", "Quorvex n5 Gigabit Server Adapter #4", "X", "5"}, kBadParent, 1},  // display name
        {{"-a", "Nope", "X", "5"}, kBadParent, 1},
        {{"-a", "team0", "T", "7"}, "", 1},
        {{"-a", U8(team.connectionName), "t", "8"}, kVlanUsed, 1},
    };
    for (const Case& c : cases) {
        const Exited exited = RunOn(machine, c.args);
        EXPECT_EQ(exited.status, c.status) << c.args[1] << " " << c.args[2];
        EXPECT_EQ(exited.output, kBanner + c.output) << c.args[1] << " " << c.args[2];
    }
    const std::u16string port = DefaultPortGuid(2);
    ExpectTakenOver(port);
    const auto vlans = Vlans(qv::testing::ToGuid(port), false);
    ASSERT_EQ(vlans->count, 2);
    EXPECT_EQ(std::vector<int>({vlans->ids[0], vlans->ids[1]}), std::vector<int>({42, 43}));
    const std::u16string driverKey = qv::testing::DriverKeyPathOf(GuidToString(vlans->guids[0]));
    EXPECT_EQ(qv::testing::ReadValueBytes(driverKey, u"VlanID"), qv::testing::DwordBytes(42));
    EXPECT_EQ(qv::testing::ReadValueBytes(driverKey, u"VlanName"),
              qv::testing::Utf16Bytes(std::u16string(u"Sales") + u'\0'));
    EXPECT_EQ(qv::testing::ReadValueBytes(qv::testing::StoreEntryPath(port), u"TeamNumber"),
              qv::testing::DwordBytes(0x10));
    EXPECT_EQ(ReadAdapter(GuidToString(vlans->guids[1])).friendlyName,
              u"Quorvex n5 Gigabit Server Adapter #3 - Voice");

    const auto teamVlans = Vlans(team.guid, true);
    ASSERT_EQ(teamVlans->count, 1);
    EXPECT_EQ(teamVlans->ids[0], 7);
    const std::u16string binding = u"\\Device\\" + GuidToString(teamVlans->guids[0]);
    for (const int member : {0, 1}) {
        const auto bytes =
            qv::testing::ReadValueBytes(qv::testing::StoreEntryPath(DefaultPortGuid(member)), u"VlanBinding");
        EXPECT_EQ(bytes, qv::testing::Utf16Bytes(binding + u'\0' + u'\0'));
    }
    ExpectTakenOver(GuidToString(team.guid));

    // A VLAN adapter is no parent; a VLAN that cannot be installed fails and gives its parent back.
    const Exited overVlan = RunOn(machine, {"-a", U8(std::u16string(vlans->connectionNames[0])), "Y", "9"});
    EXPECT_EQ(overVlan.output, kBanner + kBadParent);
    std::filesystem::remove(machine.dir() / "Windows" / "Inf" / "oem1.inf");
    const std::u16string fourthName = PortName(3);
    const Exited failed = RunOn(machine, {"-a", "Local Area Connection 4", "Z", "9"});
    EXPECT_EQ(failed.status, 0x02);  // 0xCE000302
    EXPECT_EQ(failed.output, kBanner + "Vlan Creation Failed \n");
    ExpectFree(DefaultPortGuid(3), fourthName);
}

TEST(DeleteVlansProgram, ByNameThenAllRestoresEachParent) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::u16string port = DefaultPortGuid(2);
    const std::u16string portName = PortName(2);
    const auto team = qv::testing::MakeTeam(u"Team0", {0, 1}, 0);
    ASSERT_EQ(RunOn(machine, {"-a", "Local Area Connection 3", "A", "1"}).status, 1);
    ASSERT_EQ(RunOn(machine, {"-a", "Local Area Connection 3", "B", "2"}).status, 1);
    ASSERT_EQ(RunOn(machine, {"-a", "Team0", "C", "3"}).status, 1);
    const auto before = Vlans(qv::testing::ToGuid(port), false);
    ASSERT_EQ(before->count, 2);
    const std::string vlanA = U8(before->connectionNames[0]);

    const Exited unknown = RunOn(machine, {"-d", "Nope"});
    EXPECT_EQ(unknown.status, 0);
    EXPECT_EQ(unknown.output, kBanner);

    const Exited one = RunOn(machine, {"-d", vlanA, "nope"});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.output, kBanner + "   Removing Vlan Local Area Connection 3 : A\n");
    const auto after = Vlans(qv::testing::ToGuid(port), false);
    ASSERT_EQ(after->count, 1);
    EXPECT_EQ(std::u16string(after->names[0]), u"B");
    ExpectTakenOver(port);

    const auto log = machine.scratch().path() / "delete.log";
    const Exited all = RunOn(machine, {"-d", "ALL", "-f", LogArg(log)});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.output, kBanner + "   Removing Vlan Local Area Connection 3 : B\n   Removing Vlan " +
                              U8(team.connectionName) + " : C\n");
    EXPECT_FALSE(std::filesystem::exists(log)) << "-d logs nothing";
    ExpectFree(port, portName);
    const AdapterState teamState = ReadAdapter(team.guid);
    EXPECT_EQ(teamState.characteristics.value_or(0) & 0x8, 0u);
    EXPECT_TRUE(teamState.disabled.empty());
    EXPECT_EQ(Vlans(team.guid, true)->count, 0);
    ExpectTakenOver(DefaultPortGuid(0));  // the team's members stay with the team
}

}  // namespace
}  // namespace qv::teamcmd
