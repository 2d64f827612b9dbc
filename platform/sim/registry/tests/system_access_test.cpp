// A user who is no administrator: HKEY_LOCAL_MACHINE\SYSTEM and below read, never changed; the
// rest of the registry and the simulator itself (SystemAccessScope) unaffected.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace qv::sim {
namespace {

constexpr uint32_t kDelete = 0x00010000;
constexpr uint32_t kWriteDac = 0x00040000;
constexpr uint32_t kKeyCreateLink = 0x0020;
constexpr char16_t kClassKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Class";

LStatus Open(HKey parent, const char16_t* path, uint32_t sam) {
    ScopedKey key;
    return reg::OpenKeyEx(parent, path, sam, key.Receive());
}

LStatus Create(const char16_t* path, uint32_t sam) {
    ScopedKey key;
    return reg::CreateKeyEx(kHkeyLocalMachine, path, 0, sam, key.Receive(), nullptr);
}

class SystemAccess : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()) << machine_.error(); }
    void BecomeUser() { ASSERT_TRUE(WriteHostValue(u"Administrator", 0)); }
    qv::testing::TempMachine machine_;
};

TEST_F(SystemAccess, UserReadsSystemButEveryWriteRightIsDenied) {
    BecomeUser();
    const struct {
        uint32_t sam;
        LStatus expected;
    } cases[] = {
        {kKeyRead, kErrorSuccess},
        {kKeyQueryValue, kErrorSuccess},
        {kKeyEnumerateSubKeys, kErrorSuccess},
        {kGenericRead, kErrorSuccess},
        {kKeySetValue, kErrorAccessDenied},
        {kKeyCreateSubKey, kErrorAccessDenied},
        {kKeyCreateLink, kErrorAccessDenied},
        {kDelete, kErrorAccessDenied},
        {kWriteDac, kErrorAccessDenied},
        {kKeyWrite, kErrorAccessDenied},
        {kKeyAllAccess, kErrorAccessDenied},
        {kGenericWrite, kErrorAccessDenied},
        {kGenericAll, kErrorAccessDenied},
        {kMaximumAllowed, kErrorSuccess},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sam);
        EXPECT_EQ(Open(kHkeyLocalMachine, kClassKey, c.sam), c.expected);
        EXPECT_EQ(Open(kHkeyLocalMachine, u"system", c.sam), c.expected);  // names compare without case
        EXPECT_EQ(Create(kClassKey, c.sam), c.expected);
        // Below a handle opened for reading the rule holds as well.
        ScopedKey system;
        ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, u"SYSTEM", kKeyRead, system.Receive()), kErrorSuccess);
        EXPECT_EQ(Open(system.get(), u"CurrentControlSet\\Control\\Class", c.sam), c.expected);
        EXPECT_EQ(Open(system.get(), u"", c.sam), c.expected);
        // Outside SYSTEM everything is granted.
        EXPECT_EQ(Open(kHkeyLocalMachine, u"SOFTWARE", c.sam), kErrorSuccess);
    }
}

// MAXIMUM_ALLOWED opens with what the user may have: reading.
TEST_F(SystemAccess, MaximumAllowedGivesTheUserReadAccess) {
    BecomeUser();
    ScopedKey key;
    ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, kClassKey, kMaximumAllowed, key.Receive()), kErrorSuccess);
    EXPECT_EQ(reg::QueryValueEx(key.get(), u"Missing", nullptr, nullptr, nullptr), kErrorFileNotFound);
    EXPECT_EQ(reg::DeleteValue(key.get(), u"Missing"), kErrorAccessDenied);
}

TEST_F(SystemAccess, UserCannotCreateOrDeleteKeysUnderSystem) {
    ASSERT_EQ(Create(u"SYSTEM\\QvProbe\\Leaf", kKeyRead), kErrorSuccess);
    BecomeUser();
    EXPECT_EQ(Create(u"SYSTEM\\QvProbe\\Leaf", kKeyRead), kErrorSuccess);  // exists: an open for reading
    EXPECT_EQ(Create(u"SYSTEM\\QvProbe\\New", kKeyRead), kErrorAccessDenied);
    EXPECT_EQ(Open(kHkeyLocalMachine, u"SYSTEM\\QvProbe\\New", kKeyRead), kErrorFileNotFound);
    EXPECT_EQ(reg::DeleteKey(kHkeyLocalMachine, u"SYSTEM\\QvProbe\\Leaf"), kErrorAccessDenied);
    EXPECT_EQ(Open(kHkeyLocalMachine, u"SYSTEM\\QvProbe\\Leaf", kKeyRead), kErrorSuccess);
    EXPECT_EQ(Create(u"SOFTWARE\\QvProbe", kKeyAllAccess), kErrorSuccess);
    EXPECT_EQ(reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\QvProbe"), kErrorSuccess);
    // Reading values needs no more than reading access.
    ScopedKey control;
    ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, u"SYSTEM\\QvProbe", kKeyRead, control.Receive()),
              kErrorSuccess);
    const uint32_t one = 1;
    EXPECT_EQ(reg::SetValueEx(control.get(), u"X", kRegDword, reinterpret_cast<const uint8_t*>(&one), 4),
              kErrorAccessDenied);
}

TEST_F(SystemAccess, AdministratorAndSystemScopeWriteFreely) {
    EXPECT_EQ(Open(kHkeyLocalMachine, kClassKey, kKeyAllAccess), kErrorSuccess);
    EXPECT_EQ(Create(u"SYSTEM\\QvProbe", kKeyAllAccess), kErrorSuccess);
    BecomeUser();
    {
        const SystemAccessScope system;
        const SystemAccessScope nested;
        EXPECT_EQ(Open(kHkeyLocalMachine, kClassKey, kKeyAllAccess), kErrorSuccess);
        EXPECT_EQ(reg::DeleteKey(kHkeyLocalMachine, u"SYSTEM\\QvProbe"), kErrorSuccess);
    }
    EXPECT_EQ(Open(kHkeyLocalMachine, kClassKey, kKeyAllAccess), kErrorAccessDenied);
    ASSERT_TRUE(WriteHostValue(u"Administrator", 1));
    EXPECT_EQ(Open(kHkeyLocalMachine, kClassKey, kKeyAllAccess), kErrorSuccess);
}

}  // namespace
}  // namespace qv::sim
