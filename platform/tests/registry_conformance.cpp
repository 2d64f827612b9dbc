// Behaviour of the registry port that the programs rely on. The same cases run against the
// simulated host and, in the windows build, against a real Win32 registry (under Wine), so both
// backends are held to one standard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/testing/bytes.h"
#include "qv/testing/wine.h"
#include "suite_machine.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qv {
namespace {

using qv::testing::RunningUnderWine;

using qv::testing::StringBytes;
using qv::testing::Utf16Bytes;

class RegistryConformance
    : public qv::testing::SuiteOnMachine<qv::testing::SuiteMachineContent::kOnFirstUse> {
  protected:
    void SetUp() override {
        std::random_device rd;
        scratchPath_ = u"SOFTWARE\\QvConformance\\T";
        for (int i = 0; i < 8; ++i) scratchPath_.push_back(static_cast<char16_t>(u'A' + rd() % 26));
        uint32_t disposition = 0;
        ASSERT_EQ(reg::CreateKeyEx(kHkeyLocalMachine, scratchPath_.c_str(), kRegOptionNonVolatile,
                                   kKeyAllAccess, &scratch_, &disposition),
                  kErrorSuccess);
        ASSERT_EQ(disposition, kRegCreatedNewKey);
    }

    void TearDown() override {
        if (scratch_) reg::CloseKey(scratch_);
        DeleteTree(kHkeyLocalMachine, scratchPath_);
        reg::DeleteKey(kHkeyLocalMachine, u"SOFTWARE\\QvConformance");  // fails harmlessly if still in use
    }

    static void DeleteTree(HKey root, const std::u16string& path) {
        HKey key = nullptr;
        if (reg::OpenKeyEx(root, path.c_str(), kKeyRead, &key) != kErrorSuccess) return;
        std::vector<std::u16string> children;
        char16_t name[kMaxKeyNameLength + 1];
        for (uint32_t i = 0;; ++i) {
            uint32_t length = kMaxKeyNameLength + 1;
            if (reg::EnumKeyEx(key, i, name, &length) != kErrorSuccess) break;
            children.emplace_back(name, length);
        }
        reg::CloseKey(key);
        for (const auto& child : children) DeleteTree(root, path + u"\\" + child);
        reg::DeleteKey(root, path.c_str());
    }

    HKey Create(const char16_t* sub, uint32_t* disposition = nullptr, uint32_t sam = kKeyAllAccess) {
        HKey key = nullptr;
        EXPECT_EQ(reg::CreateKeyEx(scratch_, sub, kRegOptionNonVolatile, sam, &key, disposition),
                  kErrorSuccess);
        return key;
    }

    void Set(HKey key, const char16_t* name, uint32_t type, const std::vector<uint8_t>& data) {
        ASSERT_EQ(reg::SetValueEx(key, name, type, data.data(), static_cast<uint32_t>(data.size())),
                  kErrorSuccess);
    }

    // Reads a value whole; returns the status of the read.
    LStatus Get(HKey key, const char16_t* name, uint32_t* type, std::vector<uint8_t>* data) {
        uint32_t size = 0;
        LStatus status = reg::QueryValueEx(key, name, type, nullptr, &size);
        if (status != kErrorSuccess) return status;
        data->assign(size, 0xCC);
        status = reg::QueryValueEx(key, name, type, data->data(), &size);
        data->resize(size);
        return status;
    }

    std::vector<std::u16string> SubkeyNames(HKey key) {
        std::vector<std::u16string> names;
        char16_t name[kMaxKeyNameLength + 1];
        for (uint32_t i = 0;; ++i) {
            uint32_t length = kMaxKeyNameLength + 1;
            const LStatus status = reg::EnumKeyEx(key, i, name, &length);
            if (status == kErrorNoMoreItems) break;
            EXPECT_EQ(status, kErrorSuccess);
            if (status != kErrorSuccess || i > 1000) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    std::vector<std::u16string> ValueNames(HKey key) {
        std::vector<std::u16string> names;
        char16_t name[256];
        for (uint32_t i = 0;; ++i) {
            uint32_t length = 256;
            const LStatus status = reg::EnumValue(key, i, name, &length, nullptr, nullptr, nullptr);
            if (status == kErrorNoMoreItems) break;
            EXPECT_EQ(status, kErrorSuccess);
            if (status != kErrorSuccess || i > 1000) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    std::u16string scratchPath_;
    HKey scratch_ = nullptr;
};

TEST_F(RegistryConformance, KeyNamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
    uint32_t disposition = 0;
    HKey created = Create(u"MixedCase\\Inner", &disposition);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    HKey again = Create(u"MIXEDCASE\\inner", &disposition);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    HKey opened = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"mixedcase\\INNER", kKeyRead, &opened), kErrorSuccess);

    // A value written through one spelling is seen through the others.
    Set(again, u"V", kRegDword, {1, 2, 3, 4});
    std::vector<uint8_t> data;
    uint32_t type = 0;
    EXPECT_EQ(Get(opened, u"v", &type, &data), kErrorSuccess);
    EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3, 4}));

    EXPECT_EQ(SubkeyNames(scratch_), std::vector<std::u16string>{u"MixedCase"});
    for (HKey key : {created, again, opened}) EXPECT_EQ(reg::CloseKey(key), kErrorSuccess);
}

TEST_F(RegistryConformance, ValueNamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
    Set(scratch_, u"TeamNumber", kRegDword, {0x12, 0x01, 0, 0});
    Set(scratch_, u"TEAMNUMBER", kRegDword, {0x13, 0x01, 0, 0});
    EXPECT_EQ(ValueNames(scratch_), std::vector<std::u16string>{u"TeamNumber"});
    std::vector<uint8_t> data;
    uint32_t type = 0;
    ASSERT_EQ(Get(scratch_, u"teamnumber", &type, &data), kErrorSuccess);
    EXPECT_EQ(data, (std::vector<uint8_t>{0x13, 0x01, 0, 0}));
    EXPECT_EQ(reg::DeleteValue(scratch_, u"teamNUMBER"), kErrorSuccess);
    EXPECT_TRUE(ValueNames(scratch_).empty());
}

TEST_F(RegistryConformance, SubkeysEnumerateCompletelyAndSortedWithoutRegardToCase) {
    for (const char16_t* name : {u"b", u"A", u"Zed", u"a1", u"c", u"B2"}) reg::CloseKey(Create(name));
    const std::vector<std::u16string> expected = {u"A", u"a1", u"b", u"B2", u"c", u"Zed"};
    EXPECT_EQ(SubkeyNames(scratch_), expected);
    // Stable: a second pass gives the same order.
    EXPECT_EQ(SubkeyNames(scratch_), expected);
}

TEST_F(RegistryConformance, EnumerationPastTheEndAndShortNameBuffers) {
    reg::CloseKey(Create(u"Child"));
    Set(scratch_, u"Value", kRegDword, {0, 0, 0, 0});
    char16_t name[16];
    uint32_t length = 16;
    EXPECT_EQ(reg::EnumKeyEx(scratch_, 1, name, &length), kErrorNoMoreItems);
    length = 16;
    EXPECT_EQ(reg::EnumValue(scratch_, 1, name, &length, nullptr, nullptr, nullptr), kErrorNoMoreItems);

    // The capacity counts the terminator: five units do not hold "Child".
    length = 5;
    EXPECT_EQ(reg::EnumKeyEx(scratch_, 0, name, &length), kErrorMoreData);
    length = 6;
    EXPECT_EQ(reg::EnumKeyEx(scratch_, 0, name, &length), kErrorSuccess);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(std::u16string(name), u"Child");
    length = 5;
    EXPECT_EQ(reg::EnumValue(scratch_, 0, name, &length, nullptr, nullptr, nullptr), kErrorMoreData);
}

TEST_F(RegistryConformance, ValuesKeepTheirTypeAndExactBytes) {
    struct Case {
        const char16_t* name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    const std::vector<Case> cases = {
        {u"Sz", kRegSz, StringBytes(u"\\Device\\{0}")},                       // (length + 1) * 2 bytes
        {u"Multi", kRegMultiSz, StringBytes(std::u16string(u"a\0bc\0", 5))},  // 12 bytes
        {u"Dword", kRegDword, {0x10, 0, 0, 0}},
        {u"Qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {u"Expand", kRegExpandSz, StringBytes(u"%SystemRoot%\\inf")},
        {u"Binary", kRegBinary, {0, 0xFF, 0, 0x80}},
        {u"Empty", kRegBinary, {}},
    };
    for (const auto& c : cases) Set(scratch_, c.name, c.type, c.data);
    EXPECT_EQ(cases[0].data.size(), 24u);  // 11 units and the terminator
    EXPECT_EQ(cases[1].data.size(), 12u);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name)));
        uint32_t type = 0xFFFF;
        std::vector<uint8_t> data;
        ASSERT_EQ(Get(scratch_, c.name, &type, &data), kErrorSuccess);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);
    }
}

TEST_F(RegistryConformance, StringWithoutTerminatorIsKeptAsStored) {
    if (RunningUnderWine())
        GTEST_SKIP() << "known Wine gap: Wine adds a terminator to a REG_SZ stored without one";
    Set(scratch_, u"SzNoTerminator", kRegSz, Utf16Bytes(u"abc"));
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(Get(scratch_, u"SzNoTerminator", &type, &data), kErrorSuccess);
    EXPECT_EQ(data, Utf16Bytes(u"abc"));
}

TEST_F(RegistryConformance, QueryReportsSizesAndRefusesShortBuffers) {
    Set(scratch_, u"Name", kRegSz, StringBytes(u"Team0"));
    uint32_t type = 0, size = 0;
    EXPECT_EQ(reg::QueryValueEx(scratch_, u"Name", &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 12u);

    uint8_t buffer[16];
    size = 11;
    EXPECT_EQ(reg::QueryValueEx(scratch_, u"Name", &type, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 12u);
    size = 12;
    EXPECT_EQ(reg::QueryValueEx(scratch_, u"Name", &type, buffer, &size), kErrorSuccess);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 12), StringBytes(u"Team0"));
    // Existence check with neither buffer nor size.
    EXPECT_EQ(reg::QueryValueEx(scratch_, u"Name", nullptr, nullptr, nullptr), kErrorSuccess);
}

TEST_F(RegistryConformance, MissingKeysAndValuesAreNotFound) {
    HKey key = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"Nowhere", kKeyRead, &key), kErrorFileNotFound);
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"Nowhere\\Deeper", kKeyRead, &key), kErrorFileNotFound);
    uint32_t size = 0;
    EXPECT_EQ(reg::QueryValueEx(scratch_, u"Absent", nullptr, nullptr, &size), kErrorFileNotFound);
    EXPECT_EQ(reg::DeleteValue(scratch_, u"Absent"), kErrorFileNotFound);
    EXPECT_EQ(reg::DeleteKey(scratch_, u"Nowhere"), kErrorFileNotFound);
}

TEST_F(RegistryConformance, DefaultValueHasTheEmptyName) {
    Set(scratch_, nullptr, kRegSz, StringBytes(u"default"));
    std::vector<uint8_t> data;
    uint32_t type = 0;
    ASSERT_EQ(Get(scratch_, u"", &type, &data), kErrorSuccess);
    EXPECT_EQ(data, StringBytes(u"default"));
    EXPECT_EQ(ValueNames(scratch_), std::vector<std::u16string>{u""});
}

TEST_F(RegistryConformance, KeyWithSubkeysCannotBeDeleted) {
    reg::CloseKey(Create(u"Parent\\Child"));
    EXPECT_EQ(reg::DeleteKey(scratch_, u"Parent"), kErrorAccessDenied);
    HKey parent = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"Parent\\Child", kKeyRead, &parent), kErrorSuccess);
    reg::CloseKey(parent);
    EXPECT_EQ(reg::DeleteKey(scratch_, u"Parent\\Child"), kErrorSuccess);
    EXPECT_EQ(reg::DeleteKey(scratch_, u"Parent"), kErrorSuccess);
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"Parent", kKeyRead, &parent), kErrorFileNotFound);
}

TEST_F(RegistryConformance, DeletedValueIsGoneAndOthersStay) {
    Set(scratch_, u"Keep", kRegDword, {1, 0, 0, 0});
    Set(scratch_, u"Drop", kRegDword, {2, 0, 0, 0});
    EXPECT_EQ(reg::DeleteValue(scratch_, u"Drop"), kErrorSuccess);
    EXPECT_EQ(reg::DeleteValue(scratch_, u"Drop"), kErrorFileNotFound);
    EXPECT_EQ(ValueNames(scratch_), std::vector<std::u16string>{u"Keep"});
}

TEST_F(RegistryConformance, CreateReportsWhetherTheKeyIsNewAndCreatesEveryLevel) {
    uint32_t disposition = 0;
    HKey deep = Create(u"One\\Two\\Three", &disposition);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    reg::CloseKey(deep);
    HKey middle = Create(u"One\\Two", &disposition);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    EXPECT_EQ(SubkeyNames(middle), std::vector<std::u16string>{u"Three"});
    reg::CloseKey(middle);
    // A trailing backslash names the same key.
    HKey trailing = Create(u"One\\", &disposition);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    reg::CloseKey(trailing);
}

TEST_F(RegistryConformance, HandlesOnlyAllowWhatTheyWereOpenedFor) {
    Set(scratch_, u"V", kRegDword, {1, 0, 0, 0});
    HKey reader = nullptr;
    ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, scratchPath_.c_str(), kKeyRead, &reader), kErrorSuccess);
    const uint8_t data[4] = {};
    EXPECT_EQ(reg::SetValueEx(reader, u"V", kRegDword, data, 4), kErrorAccessDenied);
    EXPECT_EQ(reg::DeleteValue(reader, u"V"), kErrorAccessDenied);
    reg::CloseKey(reader);

    HKey writer = nullptr;
    ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, scratchPath_.c_str(), kKeySetValue, &writer), kErrorSuccess);
    uint32_t size = 4;
    uint8_t out[4];
    EXPECT_EQ(reg::QueryValueEx(writer, u"V", nullptr, out, &size), kErrorAccessDenied);
    char16_t name[8];
    uint32_t length = 8;
    EXPECT_EQ(reg::EnumKeyEx(writer, 0, name, &length), kErrorAccessDenied);
    reg::CloseKey(writer);
}

TEST_F(RegistryConformance, HandleToADeletedKeyReportsKeyDeleted) {
    HKey doomed = Create(u"Doomed");
    ASSERT_EQ(reg::DeleteKey(scratch_, u"Doomed"), kErrorSuccess);
    const uint8_t data[4] = {};
    EXPECT_EQ(reg::SetValueEx(doomed, u"V", kRegDword, data, 4), kErrorKeyDeleted);
    uint32_t size = 0;
    EXPECT_EQ(reg::QueryValueEx(doomed, u"V", nullptr, nullptr, &size), kErrorKeyDeleted);
    char16_t name[8];
    uint32_t length = 8;
    EXPECT_EQ(reg::EnumKeyEx(doomed, 0, name, &length), kErrorKeyDeleted);
    EXPECT_EQ(reg::CloseKey(doomed), kErrorSuccess);
}

TEST_F(RegistryConformance, LeadingBackslashIsRefusedAndRepeatedOnesSeparateLikeOne) {
    HKey key = nullptr;
    EXPECT_EQ(reg::CreateKeyEx(scratch_, u"\\Leading", kRegOptionNonVolatile, kKeyAllAccess, &key, nullptr),
              kErrorBadPathname);
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"\\Leading", kKeyRead, &key), kErrorBadPathname);
    // Consecutive backslashes separate like one.
    uint32_t disposition = 0;
    reg::CloseKey(Create(u"Empty\\\\Inside", &disposition));
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    EXPECT_EQ(SubkeyNames(scratch_), std::vector<std::u16string>{u"Empty"});
    EXPECT_EQ(reg::OpenKeyEx(scratch_, u"Empty\\Inside", kKeyRead, &key), kErrorSuccess);
    reg::CloseKey(key);
}

TEST_F(RegistryConformance, KeyNamesAreAtMost255Units) {
    if (RunningUnderWine()) GTEST_SKIP() << "known Wine gap: Wine accepts key names longer than 255 units";
    const std::u16string longest(kMaxKeyNameLength, u'k');
    const std::u16string tooLong(kMaxKeyNameLength + 1, u'k');
    reg::CloseKey(Create(longest.c_str()));
    HKey key = nullptr;
    EXPECT_EQ(
        reg::CreateKeyEx(scratch_, tooLong.c_str(), kRegOptionNonVolatile, kKeyAllAccess, &key, nullptr),
        kErrorInvalidParameter);
    EXPECT_EQ(SubkeyNames(scratch_), std::vector<std::u16string>{longest});
}

TEST_F(RegistryConformance, ClosingAnUnknownHandleFails) {
    HKey key = Create(u"Once");
    EXPECT_EQ(reg::CloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg::CloseKey(reinterpret_cast<HKey>(static_cast<uintptr_t>(0x7ff0))), kErrorInvalidHandle);
}

}  // namespace
}  // namespace qv
