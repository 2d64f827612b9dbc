// Registries that cannot be used (locked by another process, unreadable, not regular files) and
// directories that are not machines: every call fails fast with a registry error, and the process
// says why on one line of stderr. The cases run in child processes, since the wait budget and the
// reports are the process's own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/machine.h"
#include "qv/testing/child_process.h"
#include "qv/testing/temp_dir.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

using testing::EmptyMachine;
using testing::EveryCallFails;
using testing::ScratchMachine;
namespace fs = std::filesystem;

struct ChildRun {
    int status = -1;  // exit status; -1 when killed by the hang guard or by a signal
    std::string err;  // what it wrote on stderr
    double seconds = 0;
};

// Runs body in a child process whose stderr goes to a file. A child still running after two
// minutes is killed: only a guard against a hang, far beyond what a loaded machine needs.
ChildRun RunChild(const fs::path& errFile, const std::function<bool()>& body) {
    const auto start = std::chrono::steady_clock::now();
    qv::testing::Child child([&] {
        const int fd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDERR_FILENO);
        return body();
    });
    ChildRun run;
    run.status = child.Wait(std::chrono::seconds(120)).exitCode;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.err = qv::testing::ReadFile(errFile);
    return run;
}

void ExpectOneLine(const ChildRun& run, const std::string& path, const std::string& cause) {
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(cause), std::string::npos) << run.err;
}

class UnusableRegistry : public EmptyMachine {
  protected:
    fs::path Db() const { return machine_ / "registry.db"; }
    fs::path ErrFile() const { return root_ / "stderr"; }
};

TEST_F(UnusableRegistry, LockedByAnotherProcessFailsFastAfterOneBoundedWait) {
    qv::testing::Child holder([this](int report) {
        sqlite3* db = nullptr;
        sqlite3_open(Db().c_str(), &db);
        const bool locked = sqlite3_exec(db,
                                         "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;"
                                         "INSERT INTO keys(parent, name, fold) VALUES(1, x'4100', x'0041');",
                                         nullptr, nullptr, nullptr) == SQLITE_OK;
        qv::testing::ReportLine(report, locked ? "locked" : "not locked");
        sleep(60);
    });
    ASSERT_EQ(holder.Line(), "locked");
    const ChildRun run = RunChild(ErrFile(), [] { return EveryCallFails(kErrorRegistryIoFailed, 50); });
    holder.Kill();
    // 200 calls: one wait of the budget of 4 s, then every call fails at once. Were each call to
    // wait, the run would take 800 s and meet the hang guard.
    EXPECT_EQ(run.status, 0);
    EXPECT_GE(run.seconds, 4.0);
    ExpectOneLine(run, Db().string(), "locked by another process");
}

TEST_F(UnusableRegistry, PermissionDeniedIsReportedOnce) {
    // Root passes over file permissions, so a root test drops to an unprivileged user first.
    fs::permissions(root_, fs::perms::all);
    fs::permissions(machine_, fs::perms::all);
    fs::permissions(Db(), fs::perms::none);
    const ChildRun run = RunChild(ErrFile(), [] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return false;
        return EveryCallFails(kErrorCantOpen);
    });
    EXPECT_EQ(run.status, 0);
    ExpectOneLine(run, Db().string(), "Permission denied");
}

TEST_F(UnusableRegistry, SpecialFilesAreNeverOpened) {
    const struct {
        const char* file;
        bool fifo;  // otherwise a directory
        const char* cause;
    } cases[] = {
        {"registry.db", true, "it is a FIFO, not a regular file"},
        {"registry.db-wal", true, "its registry.db-wal is a FIFO"},
        {"registry.db-shm", false, "its registry.db-shm is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path path = machine_ / c.file;
        std::error_code ec;
        fs::remove(path, ec);
        ASSERT_TRUE(c.fifo ? mkfifo(path.c_str(), 0644) == 0 : fs::create_directory(path));
        const ChildRun run = RunChild(ErrFile(), [] { return EveryCallFails(kErrorCantOpen); });
        EXPECT_EQ(run.status, 0);
        ExpectOneLine(run, Db().string(), c.cause);
        fs::remove(path, ec);
        if (std::string(c.file) == "registry.db") {
            std::string error;
            ASSERT_TRUE(CreateEmptyMachine(machine_, true, &error)) << error;
        }
    }
}

using MachineDirectories = ScratchMachine;

TEST_F(MachineDirectories, OnlyMissingEmptyOrMarkedDirectoriesBecomeMachines) {
    const auto db = [this] { return machine_ / "registry.db"; };
    // A directory holding other files is not touched, by registry calls nor by CreateMachine.
    ASSERT_TRUE(qv::testing::WriteFile(machine_ / ".profile", "x"));
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(EveryCallFails(kErrorCantOpen));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "qvsim: " + machine_.string() +
                  " is not a simulated machine: the directory holds other files and no machine registry\n");
    std::string error;
    for (const bool force : {false, true}) {
        EXPECT_FALSE(CreateMachine(machine_, InventoryOptions{}, force, &error));
        EXPECT_NE(error.find("is not a simulated machine"), std::string::npos) << error;
    }
    EXPECT_FALSE(fs::exists(db()));
    EXPECT_FALSE(MachineExists(machine_));

    // An empty directory is taken and marked; a marked one without its registry is rebuilt.
    fs::remove(machine_ / ".profile");
    HKey key = nullptr;
    ASSERT_EQ(WriteKeyValues(u"SOFTWARE\\A", {}), kErrorSuccess);
    EXPECT_TRUE(fs::exists(machine_ / "qvsim-machine"));
    EXPECT_TRUE(MachineExists(machine_));
    SelectMachine(root_ / "elsewhere");
    fs::remove(db());
    EXPECT_FALSE(MachineExists(machine_));
    std::ofstream(machine_ / "notes.txt") << "x";
    SelectMachine(machine_);
    EXPECT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, u"SOFTWARE\\A", kKeyRead, &key), kErrorFileNotFound);

    // A machine made before there was a mark is known by its registry.db.
    SelectMachine(root_ / "elsewhere");
    fs::remove(machine_ / "qvsim-machine");
    EXPECT_TRUE(MachineExists(machine_));
    SelectMachine(machine_);
    EXPECT_TRUE(testing::KeyExists(u"SOFTWARE"));
}

TEST_F(MachineDirectories, StaleBuildsOfDeadProcessesAreRemovedOnOpen) {
    std::string error;
    ASSERT_TRUE(CreateEmptyMachine(machine_, false, &error)) << error;
    qv::testing::Child dead([] {});
    dead.Wait();
    const std::string deadBuild = "registry.db.new-" + std::to_string(dead.pid()) + "-1";
    const std::string liveBuild = "registry.db.new-" + std::to_string(getppid()) + "-1";
    for (const std::string& name :
         {deadBuild, deadBuild + "-wal", liveBuild, std::string("registry.db.new-x")})
        std::ofstream(machine_ / name) << "partial";
    SelectMachine(machine_);
    ASSERT_EQ(WriteKeyValues(u"SOFTWARE", {}), kErrorSuccess);
    EXPECT_FALSE(fs::exists(machine_ / deadBuild));
    EXPECT_FALSE(fs::exists(machine_ / (deadBuild + "-wal")));
    EXPECT_TRUE(fs::exists(machine_ / liveBuild));
    EXPECT_TRUE(fs::exists(machine_ / "registry.db.new-x"));
}

using KeyDepth = EmptyMachine;

TEST_F(KeyDepth, KeysDeeperThanWindowsAllowsAreRefused) {
    std::u16string deep;
    for (int i = 0; i < 511; ++i) deep += u"k\\";
    HKey parent = nullptr;
    ASSERT_EQ(reg::CreateKeyEx(kHkeyLocalMachine, (deep + u"k").c_str(), 0, kKeyAllAccess, &parent, nullptr),
              kErrorSuccess);
    const struct {
        HKey from;
        std::u16string path;
        LStatus status;
    } cases[] = {
        {kHkeyLocalMachine, deep + u"k\\x", kErrorInvalidParameter},  // level 513 from the root
        {parent, u"x", kErrorInvalidParameter},                       // level 513 from a deep handle
        {parent, u"", kErrorSuccess},                                 // opening level 512 again
        {kHkeyLocalMachine, deep + u"k", kErrorSuccess},
        {kHkeyLocalMachine, deep + u"other", kErrorSuccess},  // a new key at level 512
    };
    for (const auto& c : cases) {
        HKey key = nullptr;
        EXPECT_EQ(reg::CreateKeyEx(c.from, c.path.c_str(), 0, kKeyAllAccess, &key, nullptr), c.status);
        if (key) reg::CloseKey(key);
    }
    reg::CloseKey(parent);
}

}  // namespace
}  // namespace qv::sim
