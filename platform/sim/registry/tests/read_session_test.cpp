// Reads of one process share a transaction between calls; what other processes commit meanwhile,
// and what the process writes itself, is seen by the next call all the same.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

using ReadSession = testing::ScratchMachine;

constexpr const char16_t* kKey = u"SOFTWARE\\Session";
constexpr uint32_t kCommitted = 7;

std::optional<uint32_t> ReadDword(const char16_t* path, const char16_t* name) {
    HKey key = nullptr;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, &key) != kErrorSuccess) return std::nullopt;
    uint32_t value = 0, size = 4;
    const LStatus status = reg::QueryValueEx(key, name, nullptr, reinterpret_cast<uint8_t*>(&value), &size);
    reg::CloseKey(key);
    return status == kErrorSuccess ? std::optional(value) : std::nullopt;
}

bool WriteDword(const char16_t* path, const char16_t* name, uint32_t value) {
    HKey key = nullptr;
    if (reg::CreateKeyEx(kHkeyLocalMachine, path, 0, kKeyAllAccess, &key, nullptr) != kErrorSuccess)
        return false;
    const LStatus status = reg::SetValueEx(key, name, kRegDword, reinterpret_cast<uint8_t*>(&value), 4);
    reg::CloseKey(key);
    return status == kErrorSuccess;
}

bool Exists(const char16_t* path) {
    HKey key = nullptr;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, &key) != kErrorSuccess) return false;
    reg::CloseKey(key);
    return true;
}

// Runs body in a child process and waits for it; true when body returned true.
template <typename Body>
bool InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body() ? 0 : 1);
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ReadSession, NextCallSeesWhatAnotherProcessCommitted) {
    ASSERT_TRUE(WriteDword(kKey, u"v", 1));
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\Old", u"v", 1));
    // These reads leave the process's read transaction open and its lookups cached.
    ASSERT_EQ(ReadDword(kKey, u"v"), 1u);
    ASSERT_TRUE(Exists(u"SOFTWARE\\Session\\Old"));
    ASSERT_FALSE(Exists(u"SOFTWARE\\Session\\New"));

    ASSERT_TRUE(InChild([] {
        return WriteDword(kKey, u"v", 2) && WriteDword(u"SOFTWARE\\Session\\New", u"v", 3) &&
               reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\Session\\Old") == kErrorSuccess;
    }));
    EXPECT_EQ(ReadDword(kKey, u"v"), 2u);
    EXPECT_EQ(ReadDword(u"SOFTWARE\\Session\\New", u"v"), 3u);
    EXPECT_FALSE(Exists(u"SOFTWARE\\Session\\Old"));
}

TEST_F(ReadSession, OwnWritesAreSeenAndKeysMadeAgainAreTheNewOnes) {
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\Again", u"v", 1));
    ASSERT_EQ(ReadDword(u"SOFTWARE\\Session\\Again", u"v"), 1u);
    ASSERT_EQ(reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\Session\\Again"), kErrorSuccess);
    EXPECT_FALSE(Exists(u"SOFTWARE\\Session\\Again"));
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\Again", u"w", 2));
    EXPECT_EQ(ReadDword(u"SOFTWARE\\Session\\Again", u"v"), std::nullopt);
    EXPECT_EQ(ReadDword(u"SOFTWARE\\Session\\Again", u"w"), 2u);
}

// A write inside a group of reads is made durable when the group commits, and undone when the
// group is abandoned; either way the process's own later reads agree with other processes.
TEST_F(ReadSession, WritesInsideAReadSnapshotCommitWithIt) {
    ASSERT_TRUE(WriteDword(kKey, u"v", 1));
    for (const bool commit : {true, false}) {
        const uint32_t value = commit ? kCommitted : kCommitted + 1;
        {
            RegistryTransaction snapshot(RegistryTransaction::Mode::kReadSnapshot);
            ASSERT_TRUE(snapshot.ok());
            ASSERT_TRUE(ReadDword(kKey, u"v").has_value());
            ASSERT_TRUE(WriteDword(kKey, u"v", value));
            if (commit) {
                ASSERT_EQ(snapshot.Commit(), kErrorSuccess);
            }
        }
        // The abandoned write leaves the committed value.
        EXPECT_EQ(ReadDword(kKey, u"v"), kCommitted) << "commit " << commit;
        EXPECT_TRUE(InChild([] { return ReadDword(kKey, u"v") == kCommitted; })) << "commit " << commit;
    }
}

}  // namespace
}  // namespace qv::sim
