// What the simulated registry adds to the Windows rules: its machine directory, the order and
// case rules it picked, handles that outlive their machine, and a registry database that cannot
// be read.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_dir.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

namespace fs = std::filesystem;
using qv::testing::ReadFile;
using qv::testing::WriteFile;
using testing::EveryCallFails;
using testing::ScratchMachine;
using testing::Subkeys;
using testing::ValueCount;

HKey CreateKey(const char16_t* path, HKey parent = kHkeyLocalMachine) {
    HKey key = nullptr;
    EXPECT_EQ(reg::CreateKeyEx(parent, path, kRegOptionNonVolatile, kKeyAllAccess, &key, nullptr),
              kErrorSuccess);
    return key;
}

using MachineDirectory = ScratchMachine;

TEST_F(MachineDirectory, FirstRegistryCallCreatesTheMachine) {
    EXPECT_FALSE(std::filesystem::exists(machine_));
    HKey key = CreateKey(u"SOFTWARE\\First");
    EXPECT_TRUE(std::filesystem::exists(machine_ / "registry.db"));
    EXPECT_EQ(reg::CloseKey(key), kErrorSuccess);
    EXPECT_FALSE(testing::HoldsBuildLeftovers(machine_));
}

TEST_F(MachineDirectory, SelectedMachineWinsOverTheEnvironment) {
    setenv("QV_MACHINE", "/nonexistent/elsewhere", 1);
    EXPECT_EQ(MachineDir(), machine_);
    unsetenv("QV_MACHINE");
}

TEST_F(MachineDirectory, CreateMachineRefusesAnExistingOneUnlessForced) {
    const auto other = root_ / "other";
    std::string error;
    ASSERT_TRUE(CreateMachine(other, InventoryOptions{}, false, &error)) << error;
    EXPECT_FALSE(CreateMachine(other, InventoryOptions{}, false, &error));
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;

    SelectMachine(other);
    reg::CloseKey(CreateKey(u"SOFTWARE\\WillVanish"));
    SelectMachine(machine_);
    ASSERT_TRUE(CreateMachine(other, InventoryOptions{}, true, &error)) << error;
    SelectMachine(other);
    HKey gone = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, u"SOFTWARE\\WillVanish", kKeyRead, &gone),
              kErrorFileNotFound);
}

TEST_F(MachineDirectory, HandlesDieWithTheMachineSwitch) {
    HKey key = CreateKey(u"SOFTWARE\\Old");
    SelectMachine(root_ / "second");
    uint32_t size = 0;
    EXPECT_EQ(reg::QueryValueEx(key, u"x", nullptr, nullptr, &size), kErrorInvalidHandle);
    EXPECT_EQ(reg::CloseKey(key), kErrorSuccess);
}

using SimRegistryRules = ScratchMachine;

TEST_F(SimRegistryRules, OnlyLocalMachineIsARoot) {
    const auto currentUser = reinterpret_cast<HKey>(static_cast<uintptr_t>(0x80000001u));
    HKey key = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(currentUser, u"Software", kKeyRead, &key), kErrorInvalidHandle);
    EXPECT_EQ(reg::OpenKeyEx(kInvalidHKey, u"Software", kKeyRead, &key), kErrorInvalidHandle);
    EXPECT_EQ(reg::DeleteKey(kHkeyLocalMachine, u""), kErrorAccessDenied);
}

TEST_F(SimRegistryRules, SubkeysSortByUpperCasedUnits) {
    HKey parent = CreateKey(u"SOFTWARE\\Order");
    for (const char16_t* name : {u"b", u"_x", u"A", u"Zed", u"\u00e9t\u00e9", u"a1"})
        reg::CloseKey(CreateKey(name, parent));
    // '_' (0x5F) sorts after 'Z' because names compare upper-cased; U+00C9 after both.
    const std::vector<std::u16string> expected = {u"A", u"a1", u"b", u"Zed", u"_x", u"\u00e9t\u00e9"};
    EXPECT_EQ(Subkeys(parent), expected);
    reg::CloseKey(parent);
}

TEST_F(SimRegistryRules, CaseFoldCoversLettersBeyondAscii) {
    HKey lower = CreateKey(u"SOFTWARE\\\u00e4\u0431\u03c9\u0101");
    uint32_t disposition = 0;
    HKey upper = nullptr;
    ASSERT_EQ(reg::CreateKeyEx(kHkeyLocalMachine, u"software\\\u00c4\u0411\u03a9\u0100", 0, kKeyAllAccess,
                               &upper, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    reg::CloseKey(lower);
    reg::CloseKey(upper);
}

TEST_F(SimRegistryRules, ValuesEnumerateInCreationOrderAndKeepItOnUpdate) {
    HKey key = CreateKey(u"SOFTWARE\\Values");
    const uint8_t data[4] = {1, 2, 3, 4};
    for (const char16_t* name : {u"zeta", u"Alpha", u"mid"}) {
        ASSERT_EQ(reg::SetValueEx(key, name, kRegDword, data, 4), kErrorSuccess);
    }
    ASSERT_EQ(reg::SetValueEx(key, u"ZETA", kRegBinary, data, 2), kErrorSuccess);
    std::vector<std::u16string> names;
    char16_t name[16];
    uint32_t length = 16, type = 0, size = 0;
    for (uint32_t i = 0; reg::EnumValue(key, i, name, &length, &type, nullptr, &size) == kErrorSuccess; ++i) {
        names.emplace_back(name, length);
        if (i == 0) {
            EXPECT_EQ(size, 2u);
        }
        length = 16;
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"zeta", u"Alpha", u"mid"}));
    reg::CloseKey(key);
}

TEST_F(SimRegistryRules, CallerMistakesAreRefusedNotFollowed) {
    HKey key = CreateKey(u"SOFTWARE\\Args");
    uint8_t buffer[4];
    EXPECT_EQ(reg::QueryValueEx(key, u"x", nullptr, buffer, nullptr), kErrorInvalidParameter);
    EXPECT_EQ(reg::SetValueEx(key, u"x", kRegBinary, nullptr, 4), kErrorInvalidParameter);
    EXPECT_EQ(reg::EnumKeyEx(key, 0, nullptr, nullptr), kErrorInvalidParameter);
    EXPECT_EQ(reg::OpenKeyEx(key, u"x", kKeyRead, nullptr), kErrorInvalidParameter);
    const std::u16string longName(kMaxValueNameLength + 1, u'v');
    EXPECT_EQ(reg::SetValueEx(key, longName.c_str(), kRegBinary, buffer, 1), kErrorInvalidParameter);
    EXPECT_EQ(reg::CloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg::CloseKey(key), kErrorInvalidHandle);  // a second close is caught, not a double free
}

TEST_F(SimRegistryRules, TransactionGroupsCallsAllOrNothing) {
    HKey key = CreateKey(u"SOFTWARE\\Txn");
    const uint8_t one[4] = {1, 0, 0, 0};
    {
        RegistryTransaction txn;
        ASSERT_TRUE(txn.ok());
        ASSERT_EQ(reg::SetValueEx(key, u"Dropped", kRegDword, one, 4), kErrorSuccess);
        reg::CloseKey(CreateKey(u"DroppedKey", key));
        EXPECT_EQ(ValueCount(key), 1u);  // seen inside
    }
    EXPECT_EQ(ValueCount(key), 0u);
    EXPECT_TRUE(Subkeys(key).empty());
    {
        RegistryTransaction txn;
        ASSERT_EQ(reg::SetValueEx(key, u"Kept", kRegDword, one, 4), kErrorSuccess);
        EXPECT_EQ(txn.Commit(), kErrorSuccess);
    }
    EXPECT_EQ(ValueCount(key), 1u);
    reg::CloseKey(key);
}

TEST_F(SimRegistryRules, MachineSwitchInsideATransactionDropsIt) {
    HKey key = CreateKey(u"SOFTWARE\\Switch");
    const uint8_t one = 1;
    {
        RegistryTransaction txn;
        ASSERT_EQ(reg::SetValueEx(key, u"lost", kRegBinary, &one, 1), kErrorSuccess);
        SelectMachine(root_ / "elsewhere");
        EXPECT_NE(txn.Commit(), kErrorSuccess);
    }
    SelectMachine(machine_);
    reg::CloseKey(key);
    key = CreateKey(u"SOFTWARE\\Switch");
    EXPECT_EQ(ValueCount(key), 0u);
    reg::CloseKey(key);
}

using UnreadableRegistry = ScratchMachine;

// Every call fails, the cause is told once on one line of stderr, and a file is left as it was.
TEST_F(UnreadableRegistry, EveryCallFailsAndTheCauseIsReportedOnce) {
    std::string garbage(8192, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 131) ^ 0x5A);
    const auto foreign = [](const fs::path& db) {
        sqlite3* handle = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE keys(x); INSERT INTO keys VALUES(1);", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
        sqlite3_close(handle);
    };
    const struct {
        const char* what;
        std::function<void(const fs::path& db)> make;
        LStatus status;
        const char* cause;
    } cases[] = {
        {"garbage", [&](const fs::path& db) { ASSERT_TRUE(WriteFile(db, garbage)); }, kErrorRegistryCorrupt,
         ""},
        {"a foreign database", foreign, kErrorRegistryCorrupt, "not a machine registry"},
        {"an empty file", [](const fs::path& db) { ASSERT_TRUE(WriteFile(db, "")); }, kErrorRegistryCorrupt,
         ""},
        {"a directory", [](const fs::path& db) { fs::create_directories(db); }, kErrorCantOpen, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Make(qv::testing::MachineOptions::OnFirstUse());
        const fs::path db = machine_ / "registry.db";
        fs::create_directories(machine_);
        c.make(db);
        const std::string before = ReadFile(db);
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(EveryCallFails(c.status));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("qvsim: the machine registry " + db.string() + " cannot be read: ", 0), 0u)
            << err;
        EXPECT_NE(err.find(c.cause), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(ReadFile(db), before);
    }
}

TEST_F(UnreadableRegistry, RepairedMachineIsUsedAgain) {
    ASSERT_TRUE(WriteFile(machine_ / "registry.db", std::string(4096, 'x')));
    ::testing::internal::CaptureStderr();
    HKey key = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, u"SOFTWARE", kKeyRead, &key), kErrorRegistryCorrupt);
    ::testing::internal::GetCapturedStderr();
    std::string error;
    ASSERT_TRUE(CreateMachine(machine_, InventoryOptions{}, true, &error)) << error;
    SelectMachine(machine_);
    key = CreateKey(u"SOFTWARE\\Again");
    EXPECT_NE(key, nullptr);
    reg::CloseKey(key);
}

}  // namespace
}  // namespace qv::sim
