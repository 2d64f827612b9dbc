// The qvsim command line: summaries, machine changes, usage and errors, as the user sees them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <utility>

#include "qv/sim/device_database.h"
#include "qv/sim/machine.h"
#include "qvsim_run.h"

namespace qvsim::testing {
namespace {

using qv::sim::RegValue;

// A command line with the exit status and standard error it gives (the machine directory may be
// written as @MACHINE@); a command that fails prints nothing on standard output.
struct Step {
    std::initializer_list<std::string> args;
    int status = 0;
    std::string err;
};

void RunSteps(const Sandbox& box, std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        std::string line;
        for (const std::string& arg : step.args) line += arg + " ";
        SCOPED_TRACE(line);
        const Result r = box.Run(step.args);
        EXPECT_EQ(r.status, step.status);
        EXPECT_EQ(box.Neutral(r.err), box.Neutral(step.err));
        EXPECT_TRUE(step.status == 0 || r.out.empty()) << r.out;
    }
}

// Whether the machine's summary holds text.
bool Shows(const Sandbox& box, const std::string& text) {
    return box.Run({"show"}).out.find(text) != std::string::npos;
}

TEST(QvsimShow, DefaultMachine) {
    Sandbox box;
    const Result init = box.Run({"init"});
    ASSERT_EQ(init.status, 0) << init.err;
    EXPECT_EQ(box.Neutral(init.out), "created machine @MACHINE@\n");
    const Result show = box.Run({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.err, "");
    EXPECT_EQ(box.Neutral(show.out), Golden("show_default.txt"));
}

TEST(QvsimShow, MachineMadeOnFirstUse) {
    Sandbox box;
    const Result show = box.Run({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(box.Neutral(show.out), Golden("show_default.txt"));
}

TEST(QvsimShow, InitOptionsAndDeviceChanges) {
    Sandbox box;
    RunSteps(box, {{{"init", "--cards", "1", "--no-other-vendor", "--os", "5.1.2600", "--no-admin"}},
                   {{"device", "local area connection 2", "disable"}},
                   {{"device", "Local Area Connection", "present", "0"}}});
    const Result show = box.Run({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(box.Neutral(show.out), Golden("show_changed.txt"));

    // Undo both changes and give the administrator back.
    RunSteps(box, {{{"device", "Local Area Connection 2", "enable"}},
                   {{"device", "Local Area Connection", "present", "1"}},
                   {{"set-admin", "1"}}});
    const std::string again = box.Run({"show"}).out;
    EXPECT_NE(again.find("Administrator: yes\n"), std::string::npos);
    EXPECT_EQ(again.find("disabled"), std::string::npos);
    EXPECT_EQ(again.find("not present"), std::string::npos);

    // The OS version of an existing machine: the build is kept unless given.
    RunSteps(box, {{{"os", "6.0"}}});
    EXPECT_TRUE(Shows(box, "OS version: 6.0 build 2600\n"));
    RunSteps(box, {{{"os", "5.2.3790"}}});
    EXPECT_TRUE(Shows(box, "OS version: 5.2 build 3790\n"));
}

TEST(QvsimShow, TeamVlanAndHiddenMarkers) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1", "--no-other-vendor"}).status, 0);
    qv::sim::SelectMachine(box.machine());
    const std::u16string port =
        u"SYSTEM\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters\\"
        u"{5A5A0005-0000-4000-8000-00000000000";
    const std::u16string netClass = u"{4D36E972-E325-11CE-BFC1-08002BE10318}";
    const std::u16string net = u"SYSTEM\\CurrentControlSet\\Control\\Class\\" + netClass + u"\\";
    const std::u16string node = u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NET\\0000";
    // The first port is a hidden team member carrying the team's address; the second carries a VLAN,
    // whose adapter is root-enumerated, without a connection name.
    const std::pair<std::u16string, RegValue> values[] = {
        {port + u"1}", RegValue::Dword(u"TeamNumber", 0x121)},
        {port + u"1}", RegValue::String(u"TeamBinding", u"\\Device\\{0A0B0C0D-0000-4000-8000-000000000001}")},
        {net + u"0000", RegValue::Dword(u"Characteristics", 0x8C)},
        {net + u"0000", RegValue::String(u"NetworkAddress", u"025A5A0000AA")},
        {port + u"2}", RegValue::Dword(u"TeamNumber", 0x10)},
        {port + u"2}",
         RegValue::MultiString(u"VlanBinding", {u"\\Device\\{0A0B0C0D-0000-4000-8000-000000000002}"})},
        {node, RegValue::String(u"ClassGUID", netClass)},
        {node, RegValue::String(u"Driver", netClass + u"\\0009")},
        {node, RegValue::String(u"FriendlyName", u"Quorvex n5 Gigabit Server Adapter #2 - Sales")},
        {net + u"0009", RegValue::String(u"NetCfgInstanceId", u"{0A0B0C0D-0000-4000-8000-000000000002}")},
        {net + u"0009", RegValue::String(u"ProviderName", u"Quorvex")},
        {net + u"0009", RegValue::Dword(u"VlanID", 5)},
        {net + u"0009", RegValue::String(u"VlanName", u"Sales")},
    };
    for (const auto& [path, value] : values)
        EXPECT_EQ(qv::sim::WriteKeyValues(path, {{value}}), qv::kErrorSuccess);
    const Result show = box.Run({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(box.Neutral(show.out), Golden("show_markers.txt"));
}

// A registry that cannot be read, or a machine without host state, is a failure (status 1): the
// summary does not print made-up values. The registry layer gives its own reason on stderr.
TEST(QvsimShow, UnreadableMachineFails) {
    const struct {
        const char* name;
        void (*spoil)(const Sandbox& box);
        const char* message;  // what stderr holds
    } cases[] = {
        {"registry.db is a directory",
         [](const Sandbox& box) { std::filesystem::create_directories(box.machine() + "/registry.db"); },
         "cannot be read"},
        {"registry.db is not a database",
         [](const Sandbox& box) {
             ASSERT_TRUE(qv::testing::WriteFile(box.machine() + "/registry.db", "garbage, not a database\n"));
         },
         "cannot be read"},
        {"the host key is gone",
         [](const Sandbox& box) {
             const std::string file = (box.dir() / "drop.reg").string();
             ASSERT_TRUE(qv::testing::WriteFile(
                 file,
                 "Windows Registry Editor Version 5.00\n\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\QvSim\\Host]\n"));
             RunSteps(box, {{{"init"}}, {{"import", file}}});
         },
         "qvsim: show: the machine has no host state\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box;
        c.spoil(box);
        const Result show = box.Run({"show"});
        EXPECT_EQ(show.status, 1);
        EXPECT_EQ(show.out, "");
        EXPECT_NE(show.err.find(c.message), std::string::npos) << show.err;
    }
}

TEST(QvsimShow, MachineOptionWinsOverEnvironment) {
    Sandbox box;
    const std::string other = (box.dir() / "other").string();
    ASSERT_EQ(box.Run({"--machine", other, "init", "--cards", "0", "--no-other-vendor"}).status, 0);
    const Result show = box.Run({"--machine", other, "show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out, "Machine: " + other +
                            "\nOS version: 5.2 build 3790\nAdministrator: yes\nNetwork adapters:\n  (none)\n"
                            "Bus-driver instances:\n  (none)\n");
    EXPECT_FALSE(std::filesystem::exists(box.machine()));  // the environment's machine was not touched
}

TEST(QvsimShow, ForceReplacesAMachine) {
    Sandbox box;
    RunSteps(box, {{{"init", "--cards", "1"}},
                   {{"init"}, 1, "qvsim: init: a machine already exists in @MACHINE@\n"},
                   {{"init", "--force"}}});
    EXPECT_EQ(box.Neutral(box.Run({"show"}).out), Golden("show_default.txt"));
}

// The usage text: the fixed header and the machine commands, the empty form of init, then one
// indented line for each adapter command (those are described by their own suite), then the
// network-configuration commands.
void ExpectUsage(const std::string& text) {
    const std::string golden = Golden("usage.txt");
    ASSERT_EQ(text.substr(0, golden.size()), golden);
    const std::string emptyInit = "  init [--force] --empty\n";
    ASSERT_EQ(text.substr(golden.size(), emptyInit.size()), emptyInit);
    std::string rest = text.substr(golden.size() + emptyInit.size());
    // The network-configuration commands come last.
    const std::string netcfg = "  write-lock hold <client name>|free\n";
    ASSERT_GE(rest.size(), netcfg.size());
    ASSERT_EQ(rest.substr(rest.size() - netcfg.size()), netcfg);
    rest.erase(rest.size() - netcfg.size());
    // The device-installation, NDIS and process commands, described by their own suites.
    for (const char* command : {"  newdev ", "  miniport ", "  ndis ", "  processes", "  broadcast "}) {
        ASSERT_EQ(rest.rfind(command, 0), 0u) << rest;
        rest.erase(0, rest.find('\n') + 1);
    }
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        ASSERT_NE(end, std::string::npos) << "unterminated usage line";
        EXPECT_EQ(rest.substr(0, 10), "  adapter ");
        rest.erase(0, end + 1);
    }
}

TEST(QvsimRegFile, ExportedMachineImportsIntoAnother) {
    Sandbox box, other;
    RunSteps(box, {{{"init", "--cards", "1", "--os", "6.0.6001"}},
                   {{"device", "Local Area Connection 2", "disable"}}});
    const std::string file = (box.dir() / "machine.reg").string();
    const Result exported = box.Run({"export", file});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "");
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\QvSim\\Host]\n"), std::string::npos);

    // An empty machine that takes the file shows the same summary, apart from its directory.
    RunSteps(other, {{{"init", "--cards", "0", "--no-other-vendor"}}, {{"import", file}}});
    EXPECT_EQ(other.Neutral(other.Run({"show"}).out), box.Neutral(box.Run({"show"}).out));
}

TEST(QvsimRegFile, MalformedFileChangesNothing) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init"}).status, 0);
    const std::string file = (box.dir() / "bad.reg").string();
    ASSERT_TRUE(qv::testing::WriteFile(file,
                                       "Windows Registry Editor Version 5.00\n\n"
                                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QvSim\\Host]\n"
                                       "\"Administrator\"=dword:00000000\n\"Broken\"=dword:zz\n"));
    const Result r = box.Run({"import", file});
    EXPECT_EQ(r.status, 1);
    // One line naming the file and the bad line; the reason itself is the .reg reader's.
    const std::string prefix = "qvsim: import: " + file + ": line 5: ";
    EXPECT_EQ(r.err.substr(0, prefix.size()), prefix);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    EXPECT_TRUE(Shows(box, "Administrator: yes\n"));
}

TEST(QvsimRegFile, ImportIntoAMissingMachineMakesAnExactCopy) {
    Sandbox box, copy;
    const std::string file = (box.dir() / "machine.reg").string(), again = (box.dir() / "copy.reg").string();
    RunSteps(box, {{{"init", "--cards", "1", "--no-other-vendor"}}, {{"export", file}}});
    RunSteps(copy, {{{"import", file}}, {{"export", again}}});
    EXPECT_EQ(ReadFile(again), ReadFile(file));  // two adapters, not the default five with the file merged in
}

TEST(QvsimMachines, InitEmptyMakesARegistryWithoutInventory) {
    Sandbox box;
    const std::string file = (box.dir() / "empty.reg").string();
    RunSteps(box,
             {{{"init", "--empty", "--cards", "1"}, 2, "qvsim: init: --empty takes no inventory options\n"},
              {{"init", "--empty"}},
              {{"export", file}},
              {{"init", "--empty"}, 1, "qvsim: init: a machine already exists in @MACHINE@\n"},
              {{"init", "--force", "--empty"}}});
    EXPECT_EQ(ReadFile(file), "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE]\n\n");
}

TEST(QvsimMachines, DirectoryThatIsNotAMachineIsLeftAlone) {
    Sandbox box;
    ASSERT_TRUE(qv::testing::WriteFile(box.dir() / "machine" / ".profile", "x"));
    ASSERT_TRUE(qv::testing::WriteFile(box.dir() / "some.reg", "Windows Registry Editor Version 5.00\n"));
    const std::string line =
        "@MACHINE@ is not a simulated machine: the directory holds other files and no machine registry\n";
    // show prints what it can; how it exits is its own business.
    EXPECT_EQ(box.Neutral(box.Run({"show"}).err), "qvsim: " + line);
    RunSteps(box, {{{"init"}, 1, "qvsim: init: " + line},
                   {{"init", "--force"}, 1, "qvsim: init: " + line},
                   {{"import", (box.dir() / "some.reg").string()}, 1, "qvsim: import: " + line}});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(box.machine()), {}), 1);
}

TEST(QvsimRegFile, ExportOntoTheMachinesOwnRegistryIsRefused) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init"}).status, 0);
    const std::string db = box.machine() + "/registry.db";
    const auto hard = box.dir() / "hard.reg", soft = box.dir() / "soft.reg";
    std::filesystem::create_hard_link(db, hard);
    std::filesystem::create_symlink(db, soft);
    const std::string refused = " is a file of the machine's registry\n";
    for (const std::string& target :
         {db, box.machine() + "/../machine//registry.db", hard.string(), soft.string()})
        RunSteps(box, {{{"export", target}, 1, "qvsim: export: " + target + refused}});
    EXPECT_EQ(box.Neutral(box.Run({"show"}).out), Golden("show_default.txt"));
}

// Reading a FIFO without a writer, or /dev/zero, would never end: a run that waited hangs the suite.
TEST(QvsimRegFile, SpecialFilesAreRefusedWithoutWaiting) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--empty"}).status, 0);
    const std::string fifo = (box.dir() / "pipe.reg").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string dir = box.dir().string();
    RunSteps(box, {{{"import", fifo}, 1, "qvsim: import: " + fifo + " is a FIFO, not a regular file\n"},
                   {{"import", "/dev/zero"}, 1, "qvsim: import: /dev/zero is a device, not a regular file\n"},
                   {{"import", dir}, 1, "qvsim: import: " + dir + " is a directory, not a regular file\n"}});
}

// The usage goes to standard error after a mistake, to standard output when asked for.
TEST(QvsimUsage, NoOrUnknownCommand) {
    Sandbox box;
    const struct {
        std::initializer_list<std::string> args;
        int status;
        const char* first;  // the line before the usage
    } cases[] = {
        {{}, 2, ""}, {{"frobnicate"}, 2, "qvsim: unknown command 'frobnicate'\n"}, {{"help"}, 0, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status == 0 ? "help" : c.first);
        const Result r = box.Run(c.args);
        EXPECT_EQ(r.status, c.status);
        const std::string& usage = c.status == 0 ? r.out : r.err;
        EXPECT_EQ(c.status == 0 ? r.err : r.out, "");
        ASSERT_EQ(usage.substr(0, std::strlen(c.first)), c.first);
        ExpectUsage(usage.substr(std::strlen(c.first)));
    }
}

TEST(QvsimUsage, BadArgumentsGiveOneLineAndStatus) {
    Sandbox box;
    const std::string cards = "qvsim: init: --cards needs a number from 0 to 8\n",
                      initOs = "qvsim: init: --os needs MAJOR.MINOR or MAJOR.MINOR.BUILD\n",
                      os = "qvsim: os: expected MAJOR.MINOR or MAJOR.MINOR.BUILD\n",
                      admin = "qvsim: set-admin: expected 0 or 1\n",
                      device = "qvsim: device: expected <connection name> enable|disable|present 0|1\n",
                      noSuch = "qvsim: device: no adapter has the connection name 'No Such Connection'\n";
    RunSteps(box,
             {{{"--machine"}, 2, "qvsim: --machine needs a directory\n"},
              {{"init", "--cards", "9"}, 2, cards},
              {{"init", "--cards"}, 2, cards},
              {{"init", "--os", "5"}, 2, initOs},
              {{"init", "--os", "5.2.3790.1"}, 2, initOs},
              {{"init", "--os", "5.x"}, 2, initOs},
              {{"init", "--bogus"}, 2, "qvsim: init: unknown option '--bogus'\n"},
              {{"export"}, 2, "qvsim: export: expected FILE.reg\n"},
              {{"import"}, 2, "qvsim: import: expected FILE.reg\n"},
              {{"import", "/nonexistent/file.reg"}, 1, "qvsim: import: cannot read /nonexistent/file.reg\n"},
              {{"show", "extra"}, 2, "qvsim: show: takes no arguments\n"},
              {{"set-admin", "2"}, 2, admin},
              {{"set-admin"}, 2, admin},
              {{"os"}, 2, os},
              {{"os", "6"}, 2, os},
              {{"device", "Local Area Connection"}, 2, device},
              {{"device", "Local Area Connection", "present", "7"}, 2, device},
              {{"device", "No Such Connection", "disable"}, 1, noSuch}});
}

}  // namespace
}  // namespace qvsim::testing
