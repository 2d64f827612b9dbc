// The shared test support itself: temporary machines of each kind, golden comparison messages,
// temporary directories, value bytes, forked children, program runs and bounded waits.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qv/testing/bytes.h"
#include "qv/testing/child_process.h"
#include "qv/testing/eventually.h"
#include "qv/testing/golden.h"
#include "qv/testing/program_run.h"
#include "qv/testing/temp_dir.h"
#include "qv/testing/temp_machine.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

bool KeyExists(const char16_t* path) {
    HKey key = nullptr;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, &key) != kErrorSuccess) return false;
    reg::CloseKey(key);
    return true;
}

TEST(TempMachineTest, EachContentGivesItsMachineInAFreshSubdirectory) {
    sim::InventoryOptions oneCard;
    oneCard.cards = 1;
    const struct {
        const char* name;
        MachineOptions options;
        bool hostKey, secondCard, importedKey, databaseMade;
    } cases[] = {
        {"default inventory", MachineOptions{}, true, true, false, true},
        {"inventory options", MachineOptions::Inventory(oneCard), true, false, false, true},
        {"empty registry", MachineOptions::EmptyRegistry(), false, false, false, true},
        {"reg text",
         MachineOptions::FromRegText(
             "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fixture]\n"
             "\"Value\"=dword:00000001\n"),
         false, false, true, true},
        {"on first use", MachineOptions::OnFirstUse(), true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path scratch;
        {
            TempMachine machine(c.options);
            ASSERT_TRUE(machine.ok()) << machine.error();
            scratch = machine.scratch().path();
            EXPECT_EQ(machine.dir(), scratch / "machine");
            EXPECT_EQ(sim::MachineDir(), machine.dir());
            EXPECT_EQ(fs::exists(machine.dir() / "registry.db"), c.databaseMade);
            EXPECT_EQ(KeyExists(u"SOFTWARE\\QvSim\\Host"), c.hostKey);
            EXPECT_EQ(KeyExists(u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\QVVBD\\0001"), c.secondCard);
            EXPECT_EQ(KeyExists(u"SOFTWARE\\Fixture"), c.importedKey);
        }
        EXPECT_FALSE(fs::exists(scratch));
    }
}

TEST(TempMachineTest, BadRegTextFailsTheMachine) {
    bool ok = true;
    std::string error;
    const auto make = [&ok, &error] {
        TempMachine machine(MachineOptions::FromRegText("not a registry file\n"));
        ok = machine.ok();
        error = machine.error();
    };
    EXPECT_NONFATAL_FAILURE(make(), "TempMachine");
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
}

TEST(GoldenTest, MessagesNameTheFirstDifference) {
    const struct {
        const char *expected, *actual, *message;
    } cases[] = {
        {"a\nb\nc\n", "a\nb\nc\n", ""},
        {"a\nb\nc\n", "a\nx\nc\n", "t:2: expected \"b\", got \"x\""},
        {"a\nb\n", "a\n", "t:2: expected \"b\", got <end>"},
        {"a\n", "a\nmore\n", "t:2: expected <end>, got \"more\""},
        {"a\r\nb\n", "a\nb\n", "t:1: expected \"a\\r\", got \"a\""},
        {"a\n", "a", "t: the texts differ only in the last line's line feed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.actual);
        const auto result = SameText(c.expected, c.actual, "t");
        EXPECT_EQ(static_cast<bool>(result), std::string(c.message).empty());
        EXPECT_EQ(result.message(), std::string(c.message));
    }
    EXPECT_TRUE(MatchesGolden(ReadFile(SourcePath("tools/qvsim/tests/golden/usage.txt")),
                              "tools/qvsim/tests/golden/usage.txt"));
    const auto missing = MatchesGolden("x", "testing/tests/golden/missing.txt");
    EXPECT_FALSE(missing);
    EXPECT_NE(std::string(missing.message()).find("missing golden file"), std::string::npos);
}

TEST(TempDirTest, FreshDirectoriesAndFilesGoAway) {
    fs::path first;
    {
        TempDir a("qv-testing"), b("qv-testing");
        ASSERT_TRUE(a.ok() && b.ok());
        EXPECT_NE(a.path(), b.path());
        EXPECT_TRUE(fs::is_empty(a.path()));
        EXPECT_TRUE(WriteFile(a / "sub" / "f.bin", std::string("x\0y", 3)));
        EXPECT_EQ(ReadFile(a / "sub" / "f.bin"), std::string("x\0y", 3));
        EXPECT_EQ(ReadFile(a / "none"), "");
        EXPECT_FALSE(WriteFile(a / "sub" / "f.bin" / "below-a-file", "z"));
        first = a.path();
    }
    EXPECT_FALSE(fs::exists(first));
}

TEST(BytesTest, RegistryValueBytes) {
    EXPECT_EQ(Utf16Bytes(u"A\u00e9"), (std::vector<uint8_t>{0x41, 0, 0xE9, 0}));
    EXPECT_EQ(StringBytes(u""), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(MultiStringBytes({u"a", u"b"}), (std::vector<uint8_t>{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
    EXPECT_EQ(DwordBytes(0x12345678), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
}

TEST(ChildTest, ExitCodesLinesAndEnds) {
    EXPECT_EQ(Child([] {}).Wait().exitCode, 0);
    EXPECT_EQ(Child([] { return true; }).Wait().exitCode, 0);
    EXPECT_EQ(Child([] { return false; }).Wait().exitCode, 1);
    EXPECT_EQ(Child([](int) { return 7; }).Wait().exitCode, 7);
    const ChildStatus signalled = Child([] { raise(SIGTERM); }).Wait();
    EXPECT_EQ(signalled.exitCode, -1);
    EXPECT_EQ(signalled.signal, SIGTERM);

    Child reporter([](int report) {
        ReportLine(report, "one");
        ReportLine(report, "");
        ReportLine(report, "three");
        return 4;
    });
    EXPECT_EQ(reporter.Line(), "one");
    EXPECT_EQ(reporter.Line(), "");
    EXPECT_EQ(reporter.Line(), "three");
    EXPECT_EQ(reporter.Line(), "") << "the end of the child ends the lines";
    EXPECT_EQ(reporter.Kill().exitCode, 4) << "a child that ended tells its own end";
    EXPECT_EQ(reporter.Wait().exitCode, -1) << "nothing is left to wait for";

    Child sleeper([](int report) {
        ReportLine(report, std::to_string(getpid()));
        for (;;) pause();
    });
    EXPECT_EQ(sleeper.Line(), std::to_string(sleeper.pid()));
    ChildStatus overstayed;
    EXPECT_NONFATAL_FAILURE(overstayed = sleeper.Wait(std::chrono::milliseconds(1)), "still running");
    EXPECT_EQ(overstayed.signal, SIGKILL);
}

TEST(EventuallyTest, AsksUntilTheConditionHoldsOrTheGuardEnds) {
    int asked = 0;
    EXPECT_TRUE(Eventually([&] { return ++asked == 3; }));
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(Eventually([] { return false; }, std::chrono::milliseconds(1)));
}

TEST(ProgramRunTest, OutputErrorsStatusAndEnvironment) {
    // Programs of bin/ only: the shell is reached through the build tree's root.
    const std::string shell = fs::relative("/bin/sh", QV_BIN_DIR).string();
    const std::string big = std::string(100000, 'o');
    const struct {
        std::string machine, script;
        std::vector<std::string> env;
        Exited expected;
    } cases[] = {
        {"/m",
         "printf %s \"$QV_MACHINE|$PATH|$HOME\"; echo oops >&2; exit 3",
         {},
         {3, "/m|/usr/bin:/bin|", "oops\n"}},
        {"", "printf %s \"${QV_MACHINE-none}|$X\"", {"X=1"}, {0, "none|1", ""}},
        {"/m", "kill -9 $$", {}, {-1, "", ""}},
        // Both streams full at once: neither may block the reading of the other.
        {"/m", "printf %100000s '' | tr ' ' o >&2; printf %100000s '' | tr ' ' o", {}, {0, big, big}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const Exited run = RunProgram(shell, c.machine, {"-c", c.script}, c.env);
        EXPECT_EQ(run.status, c.expected.status);
        EXPECT_EQ(run.output, c.expected.output);
        EXPECT_EQ(run.errors, c.expected.errors);
    }
    EXPECT_NONFATAL_FAILURE(RunProgram("no-such-program", "/m", {}), "cannot start");
    EXPECT_TRUE(RunningProgram(shell, "/m", {"-c", "exec sleep 600"}).started());
}

}  // namespace
}  // namespace qv::testing
