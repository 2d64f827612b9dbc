// The built QvTeamCmd as a process on a temporary machine: its console output and the exit status
// a shell sees (the low byte of the 32-bit status), and the refusal to run twice.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "golden.h"
#include "program_run.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/testing/machine_processes.h"

namespace qv::teamcmd {
namespace {

using testing::Golden;

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    qv::testing::TempMachine machine_;
};

TEST_F(ProgramTest, UsageAndListingStatuses) {
    const Exited usage = RunProgram(machine_.dir(), {});
    EXPECT_EQ(usage.status, 0x01);  // 0xCE000001
    EXPECT_EQ(usage.output, kBanner + Golden("usage.txt"));

    const Exited listing = RunProgram(machine_.dir(), {"-l"});
    EXPECT_EQ(listing.status, 1);
    EXPECT_EQ(listing.output, kBanner + Golden("listing_default.txt"));
}

TEST_F(ProgramTest, MissingTeamNameAndParserMessages) {
    const Exited noName =
        RunProgram(machine_.dir(), {"-c", "Local Area Connection", "Local Area Connection 2", "1"});
    EXPECT_EQ(noName.status, 0x01);
    EXPECT_EQ(noName.output, kBanner + "\nError: Team Name not specified\n");

    const Exited blank = RunProgram(machine_.dir(), {"-a", "Local Area Connection", " V1", "5"});
    EXPECT_EQ(blank.status, 0x01);
    EXPECT_EQ(blank.output,
              kBanner + "Add Vlan option, Extra checks failed, len1 = 3\n" + Golden("usage.txt"));
}

// A user who is no administrator: every command says so in one line and ends with 0xCE000005
// (a shell sees 5), and writes nothing (the log file is not made); a command line with errors
// still gets its usage text. An administrator then gets the listing as ever.
TEST_F(ProgramTest, WithoutAdministratorRightsEveryCommandSaysSo) {
    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0));
    const std::filesystem::path log = machine_.scratch().path() / "teams.log";
    const std::vector<std::vector<std::string>> commands = {
        {"-l"},
        {"-f", log.string(), "-l"},
        {"-n", "Team0", "-c", "Local Area Connection", "Local Area Connection 2", "1"},
        {"-r"},
        {"-a", "Local Area Connection", "V1", "5"},
        {"-d", "all"},
    };
    for (const auto& args : commands) {
        const Exited exited = RunProgram(machine_.dir(), args);
        EXPECT_EQ(exited.status, 0x05) << args[0];
        EXPECT_EQ(exited.output, kBanner + Golden("no_administrator.txt")) << args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(log));

    const Exited usage = RunProgram(machine_.dir(), {"-x"});
    EXPECT_EQ(usage.status, 0x01);
    EXPECT_EQ(usage.output.find("Administrator rights"), std::string::npos);

    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 1));
    const Exited listing = RunProgram(machine_.dir(), {"-l"});
    EXPECT_EQ(listing.status, 1);
    EXPECT_EQ(listing.output, kBanner + Golden("listing_default.txt"));
}

// A log file that cannot be opened ends the run before it does anything, with a failure status
// (0xCE000006; the line that says so goes to standard error).
TEST_F(ProgramTest, LogThatCannotBeOpenedFailsBeforeAnything) {
    const Exited exited =
        RunProgram(machine_.dir(), {"-f", (machine_.dir() / "none" / "x.log").string(), "-l"});
    EXPECT_EQ(exited.status, 0x06);
    EXPECT_EQ(exited.output, kBanner);
}

// A FIFO as the log file or as QV_TRACE is refused at once, as a file that cannot be opened: no run
// waits for a reader. The log then ends the run before it starts; the trace is off.
TEST_F(ProgramTest, FifoAsLogOrTraceIsRefusedPromptly) {
    const std::string fifo = (machine_.dir().parent_path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string listing = Golden("listing_default.txt");

    const Exited logged = RunProgram(machine_.dir(), {"-f", fifo, "-l"});
    EXPECT_EQ(logged.status, 0x06);
    EXPECT_EQ(logged.output, kBanner);

    const Exited traced = RunProgram(machine_.dir(), {"-l"}, {"QV_TRACE=" + fifo});
    EXPECT_EQ(traced.status, 1);
    EXPECT_EQ(traced.output, kBanner + listing);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// A second copy of the program running on the machine makes it refuse to run; copies running on
// another machine do not count, and neither does one that was killed.
TEST_F(ProgramTest, SecondCopyOnTheMachineIsRefused) {
    const std::string refused =
        kBanner + "An instance of QvTeamCmd.exe is already running. Please try again later.\n";
    qv::testing::TempMachine other;
    qv::testing::MachineProcesses programs;
    programs.Start("QvTeamCmd.exe");
    machine_.Select();
    EXPECT_EQ(RunProgram(other.dir(), {"-l"}).output, refused);
    EXPECT_EQ(RunProgram(machine_.dir(), {"-l"}).status, 1);  // listing done

    const pid_t copy = programs.Start("QvTeamCmd.exe");
    const Exited exited = RunProgram(machine_.dir(), {"-l"});
    EXPECT_EQ(exited.status, 0x03);  // 0xCE000003
    EXPECT_EQ(exited.output, refused);
    programs.Kill(copy);
    EXPECT_EQ(RunProgram(machine_.dir(), {"-l"}).status, 1);
}

}  // namespace
}  // namespace qv::teamcmd
