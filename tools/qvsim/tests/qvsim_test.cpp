// The qvsim command line: summaries, machine changes, usage and errors, as the user sees them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qvsim_run.h"

namespace qvsim::testing {
namespace {

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
    ASSERT_EQ(box.Run({"init", "--cards", "1", "--no-other-vendor", "--os", "5.1.2600", "--no-admin"}).status,
              0);
    EXPECT_EQ(box.Run({"device", "local area connection 2", "disable"}).status, 0);
    EXPECT_EQ(box.Run({"device", "Local Area Connection", "present", "0"}).status, 0);
    const Result show = box.Run({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(box.Neutral(show.out), Golden("show_changed.txt"));

    // Undo both changes and give the administrator back.
    EXPECT_EQ(box.Run({"device", "Local Area Connection 2", "enable"}).status, 0);
    EXPECT_EQ(box.Run({"device", "Local Area Connection", "present", "1"}).status, 0);
    EXPECT_EQ(box.Run({"set-admin", "1"}).status, 0);
    const std::string again = box.Run({"show"}).out;
    EXPECT_NE(again.find("Administrator: yes\n"), std::string::npos);
    EXPECT_EQ(again.find("disabled"), std::string::npos);
    EXPECT_EQ(again.find("not present"), std::string::npos);

    // The OS version of an existing machine: the build is kept unless given.
    EXPECT_EQ(box.Run({"os", "6.0"}).status, 0);
    EXPECT_NE(box.Run({"show"}).out.find("OS version: 6.0 build 2600\n"), std::string::npos);
    EXPECT_EQ(box.Run({"os", "5.2.3790"}).status, 0);
    EXPECT_NE(box.Run({"show"}).out.find("OS version: 5.2 build 3790\n"), std::string::npos);
}

// Writes one value below HKEY_LOCAL_MACHINE of the selected machine, creating the key.
void Put(const std::u16string& path, const char16_t* name, uint32_t type, const void* data, uint32_t size) {
    qv::HKey key = nullptr;
    ASSERT_EQ(qv::reg::CreateKeyEx(qv::kHkeyLocalMachine, path.c_str(), 0, qv::kKeyAllAccess, &key, nullptr),
              qv::kErrorSuccess);
    EXPECT_EQ(qv::reg::SetValueEx(key, name, type, static_cast<const uint8_t*>(data), size),
              qv::kErrorSuccess);
    qv::reg::CloseKey(key);
}
void PutString(const std::u16string& path, const char16_t* name, const std::u16string& text) {
    Put(path, name, qv::kRegSz, text.c_str(), static_cast<uint32_t>((text.size() + 1) * 2));
}
void PutDword(const std::u16string& path, const char16_t* name, uint32_t value) {
    Put(path, name, qv::kRegDword, &value, 4);
}

TEST(QvsimShow, TeamVlanAndHiddenMarkers) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1", "--no-other-vendor"}).status, 0);
    qv::sim::SelectMachine(box.machine());
    const std::u16string adapters = u"SYSTEM\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters\\";
    const std::u16string net =
        u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
    // The first port is a hidden team member carrying the team's address; the second carries a VLAN.
    PutDword(adapters + u"{5A5A0005-0000-4000-8000-000000000001}", u"TeamNumber", 0x121);
    PutString(adapters + u"{5A5A0005-0000-4000-8000-000000000001}", u"TeamBinding",
              u"\\Device\\{0A0B0C0D-0000-4000-8000-000000000001}");
    PutDword(net + u"0000", u"Characteristics", 0x8C);
    PutString(net + u"0000", u"NetworkAddress", u"025A5A0000AA");
    PutDword(adapters + u"{5A5A0005-0000-4000-8000-000000000002}", u"TeamNumber", 0x10);
    const char16_t binding[] = u"\\Device\\{0A0B0C0D-0000-4000-8000-000000000002}\0";
    Put(adapters + u"{5A5A0005-0000-4000-8000-000000000002}", u"VlanBinding", qv::kRegMultiSz, binding,
        sizeof binding);
    // The VLAN adapter itself, root-enumerated, without a connection name.
    const std::u16string node = u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NET\\0000";
    PutString(node, u"ClassGUID", u"{4D36E972-E325-11CE-BFC1-08002BE10318}");
    PutString(node, u"Driver", u"{4D36E972-E325-11CE-BFC1-08002BE10318}\\0009");
    PutString(node, u"FriendlyName", u"Quorvex n5 Gigabit Server Adapter #2 - Sales");
    PutString(net + u"0009", u"NetCfgInstanceId", u"{0A0B0C0D-0000-4000-8000-000000000002}");
    PutString(net + u"0009", u"ProviderName", u"Quorvex");
    PutDword(net + u"0009", u"VlanID", 5);
    PutString(net + u"0009", u"VlanName", u"Sales");

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
             ASSERT_EQ(box.Run({"init"}).status, 0);
             const std::string file = (box.dir() / "drop.reg").string();
             ASSERT_TRUE(qv::testing::WriteFile(
                 file,
                 "Windows Registry Editor Version 5.00\n\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\QvSim\\Host]\n"));
             ASSERT_EQ(box.Run({"import", file}).status, 0);
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
    ASSERT_EQ(box.Run({"init", "--cards", "1"}).status, 0);
    const Result again = box.Run({"init"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(box.Neutral(again.err), "qvsim: init: a machine already exists in @MACHINE@\n");
    ASSERT_EQ(box.Run({"init", "--force"}).status, 0);
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
    ASSERT_EQ(box.Run({"init", "--cards", "1", "--os", "6.0.6001"}).status, 0);
    ASSERT_EQ(box.Run({"device", "Local Area Connection 2", "disable"}).status, 0);
    const std::string file = (box.dir() / "machine.reg").string();
    const Result exported = box.Run({"export", file});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "");
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\QvSim\\Host]\n"), std::string::npos);

    // An empty machine that takes the file shows the same summary, apart from its directory.
    ASSERT_EQ(other.Run({"init", "--cards", "0", "--no-other-vendor"}).status, 0);
    const Result imported = other.Run({"import", file});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(other.Neutral(other.Run({"show"}).out), box.Neutral(box.Run({"show"}).out));
}

TEST(QvsimRegFile, MalformedFileChangesNothing) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init"}).status, 0);
    const std::string file = (box.dir() / "bad.reg").string();
    {
        std::ofstream out(file);
        out << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QvSim\\Host]\n"
               "\"Administrator\"=dword:00000000\n"
               "\"Broken\"=dword:zz\n";
    }
    const Result r = box.Run({"import", file});
    EXPECT_EQ(r.status, 1);
    // One line naming the file and the bad line; the reason itself is the .reg reader's.
    const std::string prefix = "qvsim: import: " + file + ": line 5: ";
    EXPECT_EQ(r.err.substr(0, prefix.size()), prefix);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    EXPECT_NE(box.Run({"show"}).out.find("Administrator: yes\n"), std::string::npos);
}

TEST(QvsimRegFile, ImportIntoAMissingMachineMakesAnExactCopy) {
    Sandbox box, copy;
    ASSERT_EQ(box.Run({"init", "--cards", "1", "--no-other-vendor"}).status, 0);
    const std::string file = (box.dir() / "machine.reg").string(), again = (box.dir() / "copy.reg").string();
    ASSERT_EQ(box.Run({"export", file}).status, 0);
    const Result imported = copy.Run({"import", file});
    ASSERT_EQ(imported.status, 0) << imported.err;
    ASSERT_EQ(copy.Run({"export", again}).status, 0);
    EXPECT_EQ(ReadFile(again), ReadFile(file));  // two adapters, not the default five with the file merged in
}

TEST(QvsimMachines, InitEmptyMakesARegistryWithoutInventory) {
    Sandbox box;
    const std::string file = (box.dir() / "empty.reg").string();
    const struct {
        std::initializer_list<std::string> args;
        int status;
        const char* err;
    } steps[] = {
        {{"init", "--empty", "--cards", "1"}, 2, "qvsim: init: --empty takes no inventory options\n"},
        {{"init", "--empty"}, 0, ""},
        {{"export", file}, 0, ""},
        {{"init", "--empty"}, 1, "qvsim: init: a machine already exists in @MACHINE@\n"},
        {{"init", "--force", "--empty"}, 0, ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(*std::next(step.args.begin()));
        const Result r = box.Run(step.args);
        EXPECT_EQ(r.status, step.status);
        EXPECT_EQ(box.Neutral(r.err), step.err);
    }
    EXPECT_EQ(ReadFile(file), "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE]\n\n");
}

TEST(QvsimMachines, DirectoryThatIsNotAMachineIsLeftAlone) {
    Sandbox box;
    std::filesystem::create_directories(box.machine());
    std::ofstream(box.dir() / "machine" / ".profile") << "x";
    std::ofstream(box.dir() / "some.reg") << "Windows Registry Editor Version 5.00\n";
    const std::string line =
        "@MACHINE@ is not a simulated machine: the directory holds other files and no machine registry\n";
    // show prints what it can; how it exits is its own business.
    EXPECT_EQ(box.Neutral(box.Run({"show"}).err), "qvsim: " + line);
    const struct {
        std::initializer_list<std::string> args;
        std::string err;
    } cases[] = {
        {{"init"}, "qvsim: init: " + line},
        {{"init", "--force"}, "qvsim: init: " + line},
        {{"import", (box.dir() / "some.reg").string()}, "qvsim: import: " + line},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(*std::next(c.args.begin(), static_cast<long>(c.args.size()) - 1));
        const Result r = box.Run(c.args);
        EXPECT_EQ(box.Neutral(r.err), c.err);
        EXPECT_EQ(r.status, 1);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(box.machine()), {}), 1);
}

TEST(QvsimRegFile, ExportOntoTheMachinesOwnRegistryIsRefused) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init"}).status, 0);
    const std::string db = box.machine() + "/registry.db";
    const auto hard = box.dir() / "hard.reg", soft = box.dir() / "soft.reg";
    std::filesystem::create_hard_link(db, hard);
    std::filesystem::create_symlink(db, soft);
    for (const std::string& target :
         {db, box.machine() + "/../machine//registry.db", hard.string(), soft.string()}) {
        SCOPED_TRACE(target);
        const Result r = box.Run({"export", target});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "qvsim: export: " + target + " is a file of the machine's registry\n");
    }
    EXPECT_EQ(box.Neutral(box.Run({"show"}).out), Golden("show_default.txt"));
}

// Reading a FIFO without a writer, or /dev/zero, would never end: a run that waited hangs the suite.
TEST(QvsimRegFile, SpecialFilesAreRefusedWithoutWaiting) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--empty"}).status, 0);
    const std::string fifo = (box.dir() / "pipe.reg").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const struct {
        std::string file;
        std::string err;
    } cases[] = {
        {fifo, "qvsim: import: " + fifo + " is a FIFO, not a regular file\n"},
        {"/dev/zero", "qvsim: import: /dev/zero is a device, not a regular file\n"},
        {box.dir().string(),
         "qvsim: import: " + box.dir().string() + " is a directory, not a regular file\n"},
    };
    for (const auto& c : cases) {
        const Result r = box.Run({"import", c.file});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(QvsimUsage, NoOrUnknownCommand) {
    Sandbox box;
    const Result none = box.Run({});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    ExpectUsage(none.err);
    const Result unknown = box.Run({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    const std::string first = "qvsim: unknown command 'frobnicate'\n";
    ASSERT_EQ(unknown.err.substr(0, first.size()), first);
    ExpectUsage(unknown.err.substr(first.size()));
    const Result help = box.Run({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    ExpectUsage(help.out);
    const Result noDir = box.Run({"--machine"});
    EXPECT_EQ(noDir.status, 2);
    EXPECT_EQ(noDir.err, "qvsim: --machine needs a directory\n");
}

TEST(QvsimUsage, BadArgumentsGiveOneLineAndStatus) {
    Sandbox box;
    const struct {
        std::initializer_list<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"init", "--cards", "9"}, 2, "qvsim: init: --cards needs a number from 0 to 8\n"},
        {{"init", "--cards"}, 2, "qvsim: init: --cards needs a number from 0 to 8\n"},
        {{"init", "--os", "5"}, 2, "qvsim: init: --os needs MAJOR.MINOR or MAJOR.MINOR.BUILD\n"},
        {{"init", "--os", "5.2.3790.1"}, 2, "qvsim: init: --os needs MAJOR.MINOR or MAJOR.MINOR.BUILD\n"},
        {{"init", "--os", "5.x"}, 2, "qvsim: init: --os needs MAJOR.MINOR or MAJOR.MINOR.BUILD\n"},
        {{"init", "--bogus"}, 2, "qvsim: init: unknown option '--bogus'\n"},
        {{"export"}, 2, "qvsim: export: expected FILE.reg\n"},
        {{"import"}, 2, "qvsim: import: expected FILE.reg\n"},
        {{"import", "/nonexistent/file.reg"}, 1, "qvsim: import: cannot read /nonexistent/file.reg\n"},
        {{"show", "extra"}, 2, "qvsim: show: takes no arguments\n"},
        {{"set-admin", "2"}, 2, "qvsim: set-admin: expected 0 or 1\n"},
        {{"set-admin"}, 2, "qvsim: set-admin: expected 0 or 1\n"},
        {{"os"}, 2, "qvsim: os: expected MAJOR.MINOR or MAJOR.MINOR.BUILD\n"},
        {{"os", "6"}, 2, "qvsim: os: expected MAJOR.MINOR or MAJOR.MINOR.BUILD\n"},
        {{"device", "Local Area Connection"},
         2,
         "qvsim: device: expected <connection name> enable|disable|present 0|1\n"},
        {{"device", "Local Area Connection", "present", "7"},
         2,
         "qvsim: device: expected <connection name> enable|disable|present 0|1\n"},
        {{"device", "No Such Connection", "disable"},
         1,
         "qvsim: device: no adapter has the connection name 'No Such Connection'\n"},
    };
    for (const auto& c : cases) {
        const Result r = box.Run(c.args);
        SCOPED_TRACE(*c.args.begin());
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
}  // namespace qvsim::testing
