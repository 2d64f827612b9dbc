// Whole runs in-process: banner, parse outcome, dispatch and the statuses the process ends with.
#include "run.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "command_record.h"
#include "console.h"
#include "golden.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "scenarios.h"

namespace qv::teamcmd {
namespace {

using testing::Golden;

const std::string kBanner = "\nQuorvex Teaming Command line Utility (QvTeamCmd v2,0,1,5)\n";

struct Ran {
    uint32_t status;
    std::string console;
};

Ran RunWith(std::initializer_list<std::u16string> args) {
    const std::vector<std::u16string> vector(args);
    ConsoleCapture capture;
    const uint32_t status = RunQvTeamCmd(vector);
    return {status, capture.Text()};
}

class RunTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    qv::testing::TempMachine machine_;
};

TEST_F(RunTest, NoArgumentsPrintBannerAndUsage) {
    const Ran ran = RunWith({});
    EXPECT_EQ(ran.status, QV_USAGE_ERROR);
    EXPECT_EQ(ran.console, kBanner + Golden("usage.txt"));
}

TEST_F(RunTest, UsageForms) {
    for (const auto& args : {std::vector<std::u16string>{u"-h"},
                             {u"-x"},
                             {u"/H"},
                             {u"-d"},
                             {u"-c", u"A", u"B", u"C"},
                             {u"-create", u"A", u"B", u"1"},
                             {u"word"}}) {
        SCOPED_TRACE(ToUtf8(args[0]));
        ConsoleCapture capture;
        EXPECT_EQ(RunQvTeamCmd(args), QV_USAGE_ERROR);
        EXPECT_EQ(capture.Text(), kBanner + Golden("usage.txt"));
    }
}

TEST_F(RunTest, ParserMessagesComeBeforeTheUsage) {
    const Ran ran = RunWith({u"-a", u"Team0", u"V1", u"4096"});
    EXPECT_EQ(ran.status, QV_USAGE_ERROR);
    EXPECT_EQ(ran.console, kBanner + "Add Vlan option, vlan id not valid. Should be in 1-4095 range\n" +
                               Golden("usage.txt"));
}

TEST_F(RunTest, CreateWithoutTeamNameStopsWithoutUsage) {
    const Ran ran = RunWith({u"-c", u"Local Area Connection", u"Local Area Connection 2", u"1"});
    EXPECT_EQ(ran.status, QV_USAGE_ERROR);
    EXPECT_EQ(ran.console, kBanner + "\nError: Team Name not specified\n");
}

TEST_F(RunTest, TeamNameInUseIsRefusedWithUsage) {
    ASSERT_TRUE(qv::testing::AddTeamAdapter(0, testing::TeamGuid(0), u"Team0"));
    const Ran ran =
        RunWith({u"-n", u"TEAM0", u"-c", u"Local Area Connection 3", u"Local Area Connection 4", u"1"});
    EXPECT_EQ(ran.status, QV_USAGE_ERROR);
    EXPECT_EQ(ran.console,
              kBanner + "\nThis team name is already in use. Try another name\n" + Golden("usage.txt"));
}

}  // namespace
}  // namespace qv::teamcmd
