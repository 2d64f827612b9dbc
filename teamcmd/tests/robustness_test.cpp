// QvTeamCmd as an administrator's scripts use it, on temporary machines: a whole round of commands
// leaves the machine as it was, a create, removal, VLAN add or VLAN deletion killed after any of its
// registry changes leaves a machine that `-d all` and `-r` bring back, and two runs started at once
// never make two teams of one adapter.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "program_run.h"
#include "qv/sim/regfile.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/testing/temp_machine.h"

namespace qv::teamcmd {
namespace {

using qv::testing::ExportRegistry;
using qv::testing::TempMachine;

const std::string kLan1 = "Local Area Connection";
const std::string kLan2 = "Local Area Connection 2";
const std::string kLan3 = "Local Area Connection 3";

// Every run on virtual time: the waits of the library (address retry, write lock) take no real time.
Exited RunOn(const TempMachine& machine, const std::vector<std::string>& args,
             std::vector<std::string> env = {}) {
    env.push_back("QV_VIRTUAL_TIME=1");
    return RunProgram(machine.dir(), args, env);
}

TEST(QvTeamCmdRoundTrip, CreateListVlansDeleteRemoveLeavesTheMachineAsItWas) {
    TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::string before = ExportRegistry();
    const struct {
        std::vector<std::string> args;
        int status;
    } steps[] = {
        {{"-n", "Team0", "-c", kLan1, kLan2, "1"}, 0},
        {{"-n", "Team1", "-c", kLan3, "Local Area Connection 4", "3"}, 0},
        {{"-l"}, 1},
        {{"-a", "Team0", "Voice", "100"}, 1},
        {{"-a", "Team1", "Data", "200"}, 1},
        {{"-a", "Local Area Connection 5", "Sales", "10"}, 1},
        {{"-d", "all"}, 0},
        {{"-r", "Team1"}, 1},
        {{"-r"}, 1},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(RunOn(machine, step.args).status, step.status) << step.args[0];
    }
    EXPECT_EQ(ExportRegistry(), before);
}

// A flow of QvTeamCmd from a fresh machine: the runs that set it up, then the run that is killed.
struct Flow {
    const char* name;
    std::vector<std::vector<std::string>> setup;
    std::vector<std::string> action;
};

const std::vector<std::string> kCreate = {"-n", "Team0", "-c", kLan1, kLan2, "1"};
const std::vector<std::string> kTeamVlan = {"-a", "Team0", "Voice", "100"};
const std::vector<std::string> kAdapterVlan = {"-a", kLan3, "Sales", "10"};

const Flow kFlows[] = {
    {"Create", {}, kCreate},
    {"Remove", {kCreate}, {"-r"}},
    {"RemoveWithVlan", {kCreate, kTeamVlan}, {"-r"}},
    {"RemoveByName", {kCreate, kTeamVlan}, {"-r", "Team0"}},
    {"VlanOnAdapter", {}, kAdapterVlan},
    {"VlanOnTeam", {kCreate}, kTeamVlan},
    {"DeleteAllVlans", {kAdapterVlan, kCreate, kTeamVlan}, {"-d", "all"}},
    {"DeleteVlanByName", {kAdapterVlan, {"-a", kLan3, "Voice", "11"}}, {"-d", "Local Area Connection 6"}},
};

class QvTeamCmdKilled : public ::testing::TestWithParam<Flow> {};

// The flow's run is killed right after its first registry change, then after its second, and so
// on, until it ends by itself. After each kill, the commands an administrator knows (delete every
// VLAN, remove every team) give the registry back as it was before the flow's setup, value for
// value.
TEST_P(QvTeamCmdKilled, AfterAnyChangeTheMachineComesBack) {
    const Flow& flow = GetParam();
    int kills = 0;
    for (int change = 1; change < 400; ++change) {
        TempMachine machine;
        ASSERT_TRUE(machine.ok());
        const std::string before = ExportRegistry();
        for (const auto& step : flow.setup) ASSERT_NE(RunOn(machine, step).status, -1);
        const Exited run =
            RunOn(machine, flow.action, {"QV_SIM_KILL_AFTER_WRITES=" + std::to_string(change)});
        if (run.status != -1) break;
        ++kills;
        SCOPED_TRACE("killed after change " + std::to_string(change));
        RunOn(machine, {"-d", "all"});
        RunOn(machine, {"-r"});
        EXPECT_EQ(ExportRegistry(), before);
    }
    EXPECT_GT(kills, 1) << "the flow was expected to make several changes";
    RecordProperty("kills", kills);
}

INSTANTIATE_TEST_SUITE_P(Flows, QvTeamCmdKilled, ::testing::ValuesIn(kFlows),
                         [](const ::testing::TestParamInfo<Flow>& flow) { return flow.param.name; });

// Two creates over a shared adapter, started at once: at most one team results, no adapter is in
// two teams, and a run that creates nothing says why.
TEST(QvTeamCmdConcurrent, TwoCreatesOverOneAdapterMakeAtMostOneTeam) {
    for (int round = 0; round < 10; ++round) {
        TempMachine machine;
        ASSERT_TRUE(machine.ok());
        Exited first{};
        Exited second{};
        std::thread a([&] { first = RunOn(machine, {"-n", "TeamA", "-c", kLan1, kLan2, "1"}); });
        std::thread b([&] { second = RunOn(machine, {"-n", "TeamB", "-c", kLan2, kLan3, "1"}); });
        a.join();
        b.join();
        int created = 0;
        for (const Exited* run : {&first, &second}) {
            if (run->status == 0) {
                ++created;
                EXPECT_NE(run->output.find("Team Created Successfully"), std::string::npos) << run->output;
            } else {
                const bool explained =
                    run->output.find("An instance of QvTeamCmd.exe is already running") !=
                        std::string::npos ||
                    run->output.find("System Unknown Name") != std::string::npos ||
                    run->output.find("Disabling NIC Protocol Bindings failed") != std::string::npos;
                EXPECT_TRUE(explained) << run->output;
            }
        }
        EXPECT_LE(created, 1);
        AdapterTable teams{};
        ASSERT_EQ(QueryAdapters(QV_POPULATE, Guid{}, QV_KIND_TEAM_ADAPTERS, &teams), 1);
        EXPECT_EQ(teams.count, created) << "round " << round;
        TeamTable table{};
        table.capacity = kCmdTeamCapacity;
        ClearTeamTable(&table);
        PopulateTeamList(&table, teams);
        EXPECT_EQ(g_numTeams, created);
        if (created == 1) {
            EXPECT_EQ(table.teams[0].numNics, 2);
        }
    }
}

}  // namespace
}  // namespace qv::teamcmd
