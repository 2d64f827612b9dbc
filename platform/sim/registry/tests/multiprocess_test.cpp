// Several processes on one machine: concurrent writers lose nothing, and a writer killed in the
// middle of its work leaves a database that opens and holds only whole transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <list>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/sim/machine.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/child_process.h"
#include "qv/testing/eventually.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

using qv::testing::Child;
using testing::ScratchMachine;
using testing::ValueCount;

constexpr const char16_t* kSharedKey = u"SOFTWARE\\Shared";

std::u16string Name(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The value a concurrent writer writes i-th.
std::u16string WriterValue(int writer, int i) {
    return Name("w" + std::to_string(writer) + "-" + std::to_string(i));
}

RegKey OpenShared() {
    RegKey key;
    EXPECT_EQ(RegKey::Create(kSharedKey, &key), kErrorSuccess);
    return key;
}

using MultiProcess = ScratchMachine;

TEST_F(MultiProcess, ConcurrentWritersLoseNoWrite) {
    constexpr int kWrites = 300;
    const RegKey key = OpenShared();  // the machine exists before the writers start
    std::list<Child> children;
    for (int writer = 0; writer < 2; ++writer) {
        children.emplace_back([writer] {
            RegKey own;
            if (RegKey::Open(kSharedKey, kKeyAllAccess, &own) != kErrorSuccess) return false;
            for (int i = 0; i < kWrites; ++i) {
                // Both writers also create the same subkeys, racing on every level.
                HKey sub = nullptr;
                const std::u16string path = Name("Sub" + std::to_string(i % 7) + "\\Leaf");
                if (own.WriteDword(WriterValue(writer, i), writer * 100000 + i) != kErrorSuccess ||
                    reg::CreateKeyEx(own.get(), path.c_str(), 0, kKeyAllAccess, &sub, nullptr) !=
                        kErrorSuccess)
                    return false;
                reg::CloseKey(sub);
            }
            return reg::CloseKey(own.release()) == kErrorSuccess;
        });
    }
    for (Child& child : children) EXPECT_EQ(child.Wait(std::chrono::seconds(120)).exitCode, 0);

    EXPECT_EQ(ValueCount(key.get()), 2u * kWrites);
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kWrites; i += 37)
            EXPECT_EQ(key.ReadDword(WriterValue(writer, i)), static_cast<uint32_t>(writer * 100000 + i));
    }
    EXPECT_EQ(testing::Subkeys(key.get()).size(), 7u);  // created once each, never twice
}

TEST_F(MultiProcess, WriterKilledMidTransactionLeavesOnlyWholeBatches) {
    constexpr uint32_t kBatch = 50;
    const RegKey key = OpenShared();
    Child child([] {
        HKey own = nullptr;
        if (reg::OpenKeyEx(kHkeyLocalMachine, kSharedKey, kKeyAllAccess, &own) != kErrorSuccess) return false;
        std::vector<uint8_t> data(2048);
        for (uint32_t batch = 0;; ++batch) {
            RegistryTransaction txn;
            for (uint32_t j = 0; j < kBatch; ++j) {
                for (size_t k = 0; k < data.size(); ++k) data[k] = static_cast<uint8_t>(batch + j + k);
                const std::u16string name = Name("b" + std::to_string(batch) + "-" + std::to_string(j));
                if (reg::SetValueEx(own, name.c_str(), kRegBinary, data.data(), 2048) != kErrorSuccess)
                    return false;
            }
            if (txn.Commit() != kErrorSuccess) return false;
        }
    });
    // Let the writer get well into its work, then kill it without warning.
    uint32_t size = 0;
    qv::testing::Eventually(
        [&] { return reg::QueryValueEx(key.get(), u"b4-0", nullptr, nullptr, &size) == kErrorSuccess; });
    ASSERT_NE(child.Kill().signal, 0) << "the writer stopped on its own";

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((machine_ / "registry.db").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);

    const uint32_t count = ValueCount(key.get());
    EXPECT_GE(count, 4 * kBatch);
    EXPECT_EQ(count % kBatch, 0u) << "a batch was kept in part";
    std::vector<uint8_t> data(2048);
    size = 2048;
    ASSERT_EQ(reg::QueryValueEx(key.get(), u"b3-49", nullptr, data.data(), &size), kErrorSuccess);
    for (size_t k = 0; k < data.size(); ++k) ASSERT_EQ(data[k], static_cast<uint8_t>(3 + 49 + k)) << k;
    // The machine is still writable.
    EXPECT_EQ(key.WriteDword(u"after", 1), kErrorSuccess);
}

TEST_F(MultiProcess, ProcessesStartingOnAMissingMachineBuildItOnce) {
    ASSERT_FALSE(std::filesystem::exists(machine_));
    std::list<Child> children;
    for (int i = 0; i < 3; ++i) {
        children.emplace_back([] { return OpenShared().valid(); });
    }
    for (Child& child : children) EXPECT_EQ(child.Wait().exitCode, 0);
    ASSERT_TRUE(OpenShared().valid());
    char16_t name[16];
    uint32_t length = 16;
    EXPECT_EQ(reg::EnumKeyEx(kHkeyLocalMachine, 0, name, &length), kErrorSuccess);
    EXPECT_FALSE(testing::HoldsBuildLeftovers(machine_));
}

TEST_F(MultiProcess, ForkedChildUsesItsOwnConnection) {
    const RegKey key = OpenShared();
    const uint8_t parentByte = 1, childByte = 2;
    ASSERT_EQ(reg::SetValueEx(key.get(), u"parent", kRegBinary, &parentByte, 1), kErrorSuccess);
    // The parent's handle and connection came along with the fork; writing must still work.
    Child child(
        [&] { return reg::SetValueEx(key.get(), u"child", kRegBinary, &childByte, 1) == kErrorSuccess; });
    EXPECT_EQ(child.Wait().exitCode, 0);
    EXPECT_EQ(key.ReadBytes(u"child", nullptr), std::vector<uint8_t>{childByte});
}

TEST_F(MultiProcess, ReadSnapshotSeesOneStateAndDoesNotBlockWriters) {
    const RegKey key = OpenShared();
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    // The writer is started before the snapshot opens and waits for the word to write.
    Child writer([&go] {
        char word = 0;
        if (read(go[0], &word, 1) != 1) return false;
        return WriteKeyValues(kSharedKey, {{RegValue::Dword(u"during", 1)}}) == kErrorSuccess;
    });
    {
        RegistryTransaction snapshot(RegistryTransaction::Mode::kReadSnapshot);
        ASSERT_TRUE(snapshot.ok());
        EXPECT_EQ(ValueCount(key.get()), 0u);
        ASSERT_EQ(write(go[1], "x", 1), 1);
        EXPECT_EQ(writer.Wait().exitCode, 0);  // the write went through meanwhile
        EXPECT_EQ(ValueCount(key.get()), 0u);  // but the snapshot still sees before
    }
    EXPECT_EQ(ValueCount(key.get()), 1u);
    close(go[0]);
    close(go[1]);
}

}  // namespace
}  // namespace qv::sim
