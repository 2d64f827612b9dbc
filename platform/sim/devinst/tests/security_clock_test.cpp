// Administrator answer from the machine's host state, and virtual time.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "qv/platform/clock.h"
#include "qv/platform/registry.h"
#include "qv/platform/security.h"
#include "qv/sim/clock.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::TempMachine;

TEST(AdministratorCheck, AnswersFromTheMachineBothWays) {
    TempMachine machine;
    bool member = false;
    ASSERT_TRUE(sec::CheckAdministratorsMembership(&member));
    EXPECT_TRUE(member);
    for (const uint32_t value : {0u, 1u}) {
        ASSERT_TRUE(sim::WriteHostValue(u"Administrator", value));
        ASSERT_TRUE(sec::CheckAdministratorsMembership(&member));
        EXPECT_EQ(member, value == 1) << value;
    }
    EXPECT_FALSE(sec::CheckAdministratorsMembership(nullptr));
}

TEST(AdministratorCheck, MachineCreatedWithoutAdministrator) {
    sim::InventoryOptions options;
    options.administrator = false;
    TempMachine machine(options);
    bool member = true;
    ASSERT_TRUE(sec::CheckAdministratorsMembership(&member));
    EXPECT_FALSE(member);
}

TEST(AdministratorCheck, MissingHostValueMeansAdministrator) {
    TempMachine machine;
    sim::RegKey host;
    ASSERT_EQ(sim::RegKey::Open(sim::kSimHostPath, kKeyAllAccess, &host), kErrorSuccess);
    ASSERT_EQ(reg::DeleteValue(host.get(), u"Administrator"), kErrorSuccess);
    bool member = false;
    ASSERT_TRUE(sec::CheckAdministratorsMembership(&member));
    EXPECT_TRUE(member);
}

class VirtualClock : public ::testing::Test {
  protected:
    void SetUp() override { wasOn_ = sim::VirtualClockInUse(); }
    void TearDown() override { sim::UseVirtualClock(wasOn_); }
    bool wasOn_ = false;
};

// A sleep on virtual time advances the tick by its length at once. The longest one, almost 50
// days, would hang the suite if it were slept for real.
TEST_F(VirtualClock, LongSleepCostsNothingAndAdvancesTheTick) {
    sim::UseVirtualClock(true);
    for (const uint32_t milliseconds : {10000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(milliseconds);
        const uint64_t skippedBefore = sim::VirtualMillisecondsSlept();
        const uint64_t tickBefore = clk::TickCount();
        clk::Sleep(milliseconds);
        EXPECT_GE(clk::TickCount() - tickBefore, milliseconds);
        EXPECT_EQ(sim::VirtualMillisecondsSlept() - skippedBefore, milliseconds);
    }
}

TEST_F(VirtualClock, RealSleepWaitsAndTickNeverRunsBackwards) {
    sim::UseVirtualClock(true);
    clk::Sleep(5000);
    const uint64_t virtualTick = clk::TickCount();
    sim::UseVirtualClock(false);
    const auto start = std::chrono::steady_clock::now();
    clk::Sleep(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_GE(clk::TickCount(), virtualTick + 30);
}

// Run in a child process started by the test below, with QV_EXPECT_VIRTUAL telling what to expect.
TEST(VirtualClockEnvironment, ChildProcessCheck) {
    const char* expected = std::getenv("QV_EXPECT_VIRTUAL");
    if (expected == nullptr) GTEST_SKIP() << "runs only as a child of EnvironmentChoosesTheClock";
    EXPECT_EQ(sim::VirtualClockInUse(), expected[0] == '1');
}

TEST(VirtualClockEnvironment, EnvironmentChoosesTheClock) {
    if (std::getenv("QV_EXPECT_VIRTUAL") != nullptr) GTEST_SKIP();
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = '\0';
    const struct {
        const char* value;  // nullptr: not set
        const char* expected;
    } cases[] = {{"1", "1"}, {"yes", "1"}, {"0", "0"}, {"", "0"}, {nullptr, "0"}};
    for (const auto& c : cases) {
        std::string command = "env -u QV_VIRTUAL_TIME QV_EXPECT_VIRTUAL=" + std::string(c.expected);
        if (c.value) command += " QV_VIRTUAL_TIME='" + std::string(c.value) + "'";
        command += " '" + std::string(self) +
                   "' --gtest_filter=VirtualClockEnvironment.ChildProcessCheck >/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    }
}

}  // namespace
}  // namespace qv
