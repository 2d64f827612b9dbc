// Reads of one process share a transaction between calls; what other processes commit meanwhile,
// and what the process writes itself, is seen by the next call all the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/machine.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/child_process.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

using ReadSession = testing::ScratchMachine;
using testing::KeyExists;

constexpr const char16_t* kKey = u"SOFTWARE\\Session";
constexpr uint32_t kCommitted = 7;

std::optional<uint32_t> ReadDword(const char16_t* path, const char16_t* name) {
    RegKey key;
    RegKey::Open(path, kKeyRead, &key);
    return key.ReadDword(name);
}

bool WriteDword(const char16_t* path, const char16_t* name, uint32_t value) {
    return WriteKeyValues(path, {{RegValue::Dword(name, value)}}) == kErrorSuccess;
}

// Runs body in a child process and waits for it; true when body returned true.
bool InChild(const std::function<bool()>& body) {
    return qv::testing::Child(body).Wait().exitCode == 0;
}

TEST_F(ReadSession, NextCallSeesWhatAnotherProcessCommitted) {
    ASSERT_TRUE(WriteDword(kKey, u"v", 1));
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\Old", u"v", 1));
    // These reads leave the process's read transaction open and its lookups cached.
    ASSERT_EQ(ReadDword(kKey, u"v"), 1u);
    ASSERT_TRUE(KeyExists(u"SOFTWARE\\Session\\Old"));
    ASSERT_FALSE(KeyExists(u"SOFTWARE\\Session\\New"));

    ASSERT_TRUE(InChild([] {
        return WriteDword(kKey, u"v", 2) && WriteDword(u"SOFTWARE\\Session\\New", u"v", 3) &&
               reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\Session\\Old") == kErrorSuccess;
    }));
    EXPECT_EQ(ReadDword(kKey, u"v"), 2u);
    EXPECT_EQ(ReadDword(u"SOFTWARE\\Session\\New", u"v"), 3u);
    EXPECT_FALSE(KeyExists(u"SOFTWARE\\Session\\Old"));
}

std::vector<std::u16string> SubKeys(const char16_t* path) {
    RegKey key;
    RegKey::Open(path, kKeyRead, &key);
    return key.SubKeys();
}

// Subkey lists are remembered within a snapshot only, and the answers "no such key" and "no such
// value" not at all: what this process or another one changes shows in the next call. A key with
// more subkeys than are listed at once enumerates completely and in order all the same.
TEST_F(ReadSession, RememberedListsAndMissesFollowChanges) {
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\B", u"v", 1));
    ASSERT_EQ(SubKeys(kKey), std::vector<std::u16string>{u"B"});
    ASSERT_EQ(ReadDword(u"SOFTWARE\\Session\\B", u"late"), std::nullopt);
    ASSERT_FALSE(KeyExists(u"SOFTWARE\\Session\\A"));
    ASSERT_TRUE(InChild([] {
        return WriteDword(u"SOFTWARE\\Session\\A", u"v", 1) &&
               WriteDword(u"SOFTWARE\\Session\\B", u"late", 5);
    }));
    EXPECT_EQ(SubKeys(kKey), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(ReadDword(u"SOFTWARE\\Session\\B", u"late"), 5u);
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\C", u"v", 1));
    ASSERT_EQ(reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\Session\\A"), kErrorSuccess);
    EXPECT_EQ(SubKeys(kKey), (std::vector<std::u16string>{u"B", u"C"}));

    std::vector<std::u16string> many;
    {
        RegistryTransaction batch;
        for (int i = 0; i < 300; ++i) {
            const std::string digits = std::to_string(1000 + i).substr(1);
            many.emplace_back(digits.begin(), digits.end());
            ASSERT_TRUE(WriteDword((u"SOFTWARE\\Many\\" + many.back()).c_str(), u"v", 1));
        }
        ASSERT_EQ(batch.Commit(), kErrorSuccess);
    }
    EXPECT_EQ(SubKeys(u"SOFTWARE\\Many"), many);
}

TEST_F(ReadSession, OwnWritesAreSeenAndKeysMadeAgainAreTheNewOnes) {
    ASSERT_TRUE(WriteDword(u"SOFTWARE\\Session\\Again", u"v", 1));
    ASSERT_EQ(ReadDword(u"SOFTWARE\\Session\\Again", u"v"), 1u);
    ASSERT_EQ(reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\Session\\Again"), kErrorSuccess);
    EXPECT_FALSE(KeyExists(u"SOFTWARE\\Session\\Again"));
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
