// The team store's registry writes and reads on a simulated machine, checked byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../multi_string.h"
#include "qv/platform/registry.h"
#include "qv/teamlib/damaged_team_record.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using namespace std::string_literals;

using testing::kTeamA;
using testing::kTeamB;
using testing::ReadValueBytes;
using testing::StoreEntryPath;
using testing::ToGuid;
using testing::Utf16Bytes;

const std::u16string kGhostTeam = u"{7EA0DEAD-0000-4000-8000-0000000000FF}";

std::vector<uint8_t> Dword(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

std::vector<uint8_t> MultiSz(std::initializer_list<std::u16string_view> strings, int extraZeros = 1) {
    std::u16string units;
    for (auto s : strings) {
        units += s;
        units += u'\0';
    }
    units.append(static_cast<size_t>(extraZeros), u'\0');
    return Utf16Bytes(units);
}

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        ClearTeamTable(&table_);
    }
    testing::TempMachine machine_;
    TeamTable table_{};
};

TEST_F(StoreTest, WriteIntoTeamRegistryWritesSelectedValuesWithExactSizes) {
    TeamInfo team{};
    team.numNics = 2;
    team.teamGuid = ToGuid(kTeamA);
    team.memberGuids[0] = ToGuid(testing::DefaultPortGuid(0));
    team.memberGuids[1] = ToGuid(testing::DefaultPortGuid(1));
    team.Order[0] = 0;
    team.Order[1] = 1;

    ASSERT_EQ(WriteIntoTeamRegistry(team, QV_SET_TEAM_NUMBER, 0x421), 1);
    const std::u16string member1 = StoreEntryPath(testing::DefaultPortGuid(1));
    uint32_t type = 0;
    EXPECT_EQ(ReadValueBytes(member1, u"TeamNumber", &type), Dword(0x421));
    EXPECT_EQ(type, kRegDword);
    EXPECT_FALSE(ReadValueBytes(member1, u"TeamBinding"));
    EXPECT_FALSE(ReadValueBytes(member1, u"Order"));

    ASSERT_EQ(WriteIntoTeamRegistry(team, QV_SET_TEAM_BINDING | QV_SET_ORDER, 0), 1);
    const auto binding = ReadValueBytes(member1, u"TeamBinding", &type);
    ASSERT_TRUE(binding);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(*binding, Utf16Bytes(u"\\Device\\" + kTeamA + u'\0'));
    EXPECT_EQ(binding->size(), (8u + 38u + 1u) * 2u);
    EXPECT_EQ(ReadValueBytes(member1, u"Order", &type), Dword(1));
    EXPECT_EQ(ReadValueBytes(StoreEntryPath(testing::DefaultPortGuid(0)), u"Order"), Dword(0));
    // The number written first was left alone.
    EXPECT_EQ(ReadValueBytes(member1, u"TeamNumber"), Dword(0x421));
}

TEST_F(StoreTest, PopulateTeamListPlacesTeamsByInventoryPosition) {
    // Inventory order: team B first, then team A. Team A has three members, team B two.
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(0), kTeamA, 0x930, 2));
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(1), kTeamA, 0x930, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(2), kTeamB, 0x221, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(3), kTeamB, 0x221, 1));
    // Entries of a team whose adapter is gone, and a VLAN-only adapter.
    ASSERT_TRUE(testing::WriteStoreEntry(u"{5A5A0005-0000-4000-8000-0000000000EE}", kGhostTeam, 0x121, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(testing::kOtherVendorGuid, std::nullopt, 0x10, 0));

    const Guid inventory[] = {ToGuid(kTeamB), ToGuid(kTeamA)};
    ASSERT_EQ(PopulateTeamList(&table_, inventory), 1);
    EXPECT_EQ(g_numTeams, 2);

    const TeamInfo& b = table_.teams[0];
    EXPECT_EQ(b.inUse, 1);
    EXPECT_EQ(b.numNics, 2);
    EXPECT_EQ(b.teamGuid, ToGuid(kTeamB));
    EXPECT_EQ(b.TeamMode, 2);
    EXPECT_EQ(b.TeamNumber, 0x221);

    const TeamInfo& a = table_.teams[1];
    EXPECT_EQ(a.inUse, 1);
    EXPECT_EQ(a.numNics, 2);
    EXPECT_EQ(a.TeamMode, 9);
    EXPECT_EQ(a.TeamNumber, 0x930);
    // Members in enumeration order with their Order values at the same index.
    for (int i = 0; i < a.numNics; ++i) {
        const bool first = a.memberGuids[i] == ToGuid(testing::DefaultPortGuid(0));
        EXPECT_EQ(a.Order[i], first ? 2 : 0);
    }
    EXPECT_EQ(table_.teams[2].inUse, 0);
}

TEST_F(StoreTest, PopulateTeamListWithoutAdaptersKeyFindsNoTeams) {
    const Guid inventory[] = {ToGuid(kTeamA)};
    EXPECT_EQ(PopulateTeamList(&table_, inventory), 1);
    EXPECT_EQ(g_numTeams, 0);
    EXPECT_EQ(table_.teams[0].inUse, 0);
}

TEST_F(StoreTest, PopulateTeamListIgnoresMembersBeyondEightAndBadEntries) {
    for (int i = 0; i < 10; ++i) {
        const std::u16string member =
            u"{5A5A0005-0000-4000-8000-0000000001" + std::u16string(1, u'0' + i) + u"0}";
        ASSERT_TRUE(testing::WriteStoreEntry(member, kTeamA, 0x180, static_cast<uint32_t>(i)));
    }
    // Malformed entries: a binding without a device prefix, one naming no GUID, a key name that is
    // no GUID, and TeamNumber stored with the wrong size.
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(u"{5A5A0005-0000-4000-8000-0000000002A0}"),
                                         u"TeamBinding", kRegSz, Utf16Bytes(kTeamA + u'\0')));
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(u"{5A5A0005-0000-4000-8000-0000000002B0}"),
                                         u"TeamBinding", kRegSz, Utf16Bytes(u"\\Device\\garbage")));
    ASSERT_TRUE(testing::WriteStoreEntry(u"not-a-guid", kTeamB, 0x120, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(u"{5A5A0005-0000-4000-8000-0000000002C0}", kTeamB, std::nullopt, 0));
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(u"{5A5A0005-0000-4000-8000-0000000002C0}"),
                                         u"TeamNumber", kRegBinary, {0x21, 0x01}));
    // A TeamBinding stored without terminator is still read within its bytes.
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(u"{5A5A0005-0000-4000-8000-0000000002D0}"),
                                         u"TeamBinding", kRegSz, Utf16Bytes(u"\\Device\\" + kTeamB)));

    const Guid inventory[] = {ToGuid(kTeamA), ToGuid(kTeamB)};
    ASSERT_EQ(PopulateTeamList(&table_, inventory), 1);
    EXPECT_EQ(g_numTeams, 2);
    EXPECT_EQ(table_.teams[0].numNics, 8);
    EXPECT_EQ(table_.teams[1].numNics, 2);
    EXPECT_EQ(table_.teams[1].TeamNumber, 0);  // the wrongly sized TeamNumber was not taken
}

TEST_F(StoreTest, PopulateTeamListConsidersOnlyTheFirstFourTeamAdapters) {
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(0), kTeamA, 0x120, 0));
    const Guid inventory[] = {ToGuid(kTeamB), ToGuid(kTeamB), ToGuid(kTeamB), ToGuid(kTeamB), ToGuid(kTeamA)};
    table_.capacity = kCmdTeamCapacity;
    ASSERT_EQ(PopulateTeamList(&table_, inventory), 1);
    EXPECT_EQ(g_numTeams, 0);
    EXPECT_EQ(table_.teams[4].inUse, 0);
}

class IsNICTeamedTest : public StoreTest {
  protected:
    bool Teamed(int port) {
        HKey key = nullptr;
        const std::u16string path = testing::DriverKeyPathOf(testing::DefaultPortGuid(port));
        EXPECT_FALSE(path.empty());
        EXPECT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &key), kErrorSuccess);
        const bool teamed = IsNICTeamed(key);
        reg::CloseKey(key);
        return teamed;
    }
};

TEST_F(IsNICTeamedTest, OnlyEntriesWithAModeCountAsTeamed) {
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(0), kTeamA, 0x421, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(1), std::nullopt, 0x10, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(2), kTeamA, std::nullopt, 0));
    EXPECT_TRUE(Teamed(0));
    EXPECT_FALSE(Teamed(1));
    EXPECT_FALSE(Teamed(2));
    EXPECT_FALSE(Teamed(3));
}

// A TeamNumber the teaming programs did not write as a 4-byte REG_DWORD never makes the adapter
// free: it counts as teamed and as a damaged team record, whatever its bytes would say.
TEST_F(IsNICTeamedTest, ATeamNumberOfTheWrongTypeOrSizeIsDamagedNotFree) {
    const struct {
        const char* what;
        uint32_t type;
        std::vector<uint8_t> bytes;
        bool teamed;
        bool damaged;
    } cases[] = {
        {"member's DWORD", kRegDword, Dword(0x120), true, false},
        {"VLAN-only DWORD", kRegDword, Dword(0x10), false, false},
        {"number as text", kRegSz, Utf16Bytes(u"288\0"s), true, true},
        {"VLAN-only number as text", kRegSz, Utf16Bytes(u"16\0"s), true, true},
        {"four binary bytes", kRegBinary, Dword(0x10), true, true},
        {"QWORD", kRegQword, {0x20, 0x01, 0, 0, 0, 0, 0, 0}, true, true},
        {"short DWORD", kRegDword, {0x20, 0x01}, true, true},
        {"long DWORD", kRegDword, {0x20, 0x01, 0, 0, 0}, true, true},
        {"empty DWORD", kRegDword, {}, true, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(testing::DefaultPortGuid(0)), u"TeamNumber",
                                             c.type, c.bytes));
        EXPECT_EQ(Teamed(0), c.teamed) << c.what;
        EXPECT_EQ(HasDamagedTeamRecord(ToGuid(testing::DefaultPortGuid(0))), c.damaged) << c.what;
    }
    // No entry, or an entry without TeamNumber, is neither teamed nor damaged.
    ASSERT_TRUE(testing::WriteStoreEntry(testing::DefaultPortGuid(1), kTeamA, std::nullopt, 0));
    for (const int port : {1, 2}) {
        EXPECT_FALSE(Teamed(port));
        EXPECT_FALSE(HasDamagedTeamRecord(ToGuid(testing::DefaultPortGuid(port))));
    }
}

// A member whose TeamNumber or Order is damaged stays a member; a damaged TeamNumber is not taken
// (the sound one of another member is) and a damaged Order names no member.
TEST_F(StoreTest, PopulateTeamListTakesNoDamagedNumbers) {
    const std::u16string first = testing::DefaultPortGuid(0);
    const std::u16string second = testing::DefaultPortGuid(1);
    const std::u16string third = testing::DefaultPortGuid(2);
    ASSERT_TRUE(testing::WriteStoreEntry(first, kTeamA, std::nullopt, std::nullopt));
    ASSERT_TRUE(
        testing::WriteValueBytes(StoreEntryPath(first), u"TeamNumber", kRegSz, Utf16Bytes(u"1568\0"s)));
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(first), u"Order", kRegSz, Utf16Bytes(u"1\0"s)));
    ASSERT_TRUE(testing::WriteStoreEntry(second, kTeamA, 0x232, 1));
    ASSERT_TRUE(testing::WriteStoreEntry(third, kTeamA, std::nullopt, std::nullopt));
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(third), u"Order", kRegBinary, Dword(2)));

    const Guid inventory[] = {ToGuid(kTeamA)};
    ASSERT_EQ(PopulateTeamList(&table_, inventory), 1);
    const TeamInfo& team = table_.teams[0];
    ASSERT_EQ(team.numNics, 3);
    EXPECT_EQ(team.TeamNumber, 0x232);
    EXPECT_EQ(team.TeamMode, 2);
    for (int m = 0; m < team.numNics; ++m) {
        const bool damagedOrder =
            team.memberGuids[m] == ToGuid(first) || team.memberGuids[m] == ToGuid(third);
        EXPECT_EQ(team.Order[m], damagedOrder ? -1 : 1) << m;
    }
}

class VlanBindingTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        path_ = StoreEntryPath(testing::DefaultPortGuid(0));
        uint32_t disposition = 0;
        ASSERT_EQ(reg::CreateKeyEx(kHkeyLocalMachine, path_.c_str(), kRegOptionNonVolatile, kKeyAllAccess,
                                   &key_, &disposition),
                  kErrorSuccess);
    }
    void TearDown() override { reg::CloseKey(key_); }
    std::optional<std::vector<uint8_t>> Stored(uint32_t* type = nullptr) {
        return ReadValueBytes(path_, u"VlanBinding", type);
    }
    void Store(const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(testing::WriteValueBytes(path_, u"VlanBinding", kRegMultiSz, bytes));
    }

    std::u16string path_;
    HKey key_ = nullptr;
    const std::u16string a_ = u"\\Device\\{7EA00001-0000-4000-8000-0000000000A1}";
    const std::u16string b_ = u"\\Device\\{7EA00001-0000-4000-8000-0000000000B2}";
    const std::u16string c_ = u"\\Device\\{7EA00001-0000-4000-8000-0000000000C3}";
};

TEST_F(VlanBindingTest, AddPutsNewEntriesFirst) {
    ASSERT_EQ(AddToVlanBinding(key_, a_.c_str()), kErrorSuccess);
    uint32_t type = 0;
    EXPECT_EQ(Stored(&type), MultiSz({a_}));
    EXPECT_EQ(type, kRegMultiSz);
    ASSERT_EQ(AddToVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({b_, a_}));
}

TEST_F(VlanBindingTest, RemoveKeepsOthersAndDeletesTheLastEntry) {
    Store(MultiSz({c_, b_, a_}));
    std::u16string upper = b_;
    for (auto& ch : upper) ch = (ch >= u'a' && ch <= u'z') ? static_cast<char16_t>(ch - 32) : ch;
    ASSERT_EQ(RemoveFromVlanBinding(key_, upper.c_str()), kErrorSuccess);
    // Kept strings, then two zero units.
    EXPECT_EQ(Stored(), MultiSz({c_, a_}, 2));
    ASSERT_EQ(RemoveFromVlanBinding(key_, c_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({a_}, 2));
    ASSERT_EQ(RemoveFromVlanBinding(key_, a_.c_str()), kErrorSuccess);
    EXPECT_FALSE(Stored());
    EXPECT_EQ(RemoveFromVlanBinding(key_, a_.c_str()), kErrorFileNotFound);
}

TEST_F(VlanBindingTest, RemoveOfAnUnknownEntryRewritesTheList) {
    Store(MultiSz({a_}));
    ASSERT_EQ(RemoveFromVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({a_}, 2));
    // An empty list is deleted whatever the entry.
    Store(MultiSz({}));
    ASSERT_EQ(RemoveFromVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_FALSE(Stored());
}

TEST_F(VlanBindingTest, MalformedListsAreReadWithinTheirBytes) {
    // No terminators at all.
    Store(Utf16Bytes(a_));
    ASSERT_EQ(RemoveFromVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({a_}, 2));

    Store(Utf16Bytes(a_));
    ASSERT_EQ(RemoveFromVlanBinding(key_, a_.c_str()), kErrorSuccess);
    EXPECT_FALSE(Stored());

    // Odd byte count: the stray byte is no part of any entry.
    std::vector<uint8_t> odd = MultiSz({a_});
    odd.push_back(0x41);
    Store(odd);
    ASSERT_EQ(RemoveFromVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({a_}, 2));

    // Adding to a list without its final terminator completes it.
    Store(Utf16Bytes(a_ + u'\0'));
    ASSERT_EQ(AddToVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({b_, a_}));
    Store(Utf16Bytes(a_));
    ASSERT_EQ(AddToVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({b_, a_}));
    Store({0x41});
    ASSERT_EQ(AddToVlanBinding(key_, b_.c_str()), kErrorSuccess);
    EXPECT_EQ(Stored(), MultiSz({b_}));
}

// Empty strings in a list are dropped by a removal, and the entries after them kept: they are the
// records of VLAN adapters the readers still find.
TEST_F(VlanBindingTest, RemoveKeepsTheEntriesAfterAnEmptyOne) {
    const struct {
        std::vector<uint8_t> stored;
        std::optional<std::vector<uint8_t>> after;  // nullopt: the value is deleted
    } cases[] = {
        {MultiSz({a_, u"", b_, u"", c_}), MultiSz({a_, c_}, 2)},
        {MultiSz({u"", a_}), MultiSz({a_}, 2)},
        {MultiSz({u"", b_}), std::nullopt},
        {MultiSz({u"", u""}), std::nullopt},
    };
    for (const auto& c : cases) {
        Store(c.stored);
        ASSERT_EQ(RemoveFromVlanBinding(key_, b_.c_str()), kErrorSuccess);
        EXPECT_EQ(Stored(), c.after);
    }
}

// A stored list read and written again keeps its bytes, only gaining the terminators it lacked; the
// zero unit that ends a list is no entry, empty strings before it are.
TEST_F(VlanBindingTest, MultiStringsReadAndWriteAsLists) {
    const struct {
        std::u16string stored;
        MultiString list;
        std::u16string written;
    } cases[] = {
        {u""s, {}, u"\0"s},
        {u"\0"s, {}, u"\0"s},
        {u"\0\0"s, {u""}, u"\0\0"s},
        {u"a"s, {u"a"}, u"a\0\0"s},
        {u"a\0"s, {u"a"}, u"a\0\0"s},
        {u"a\0\0"s, {u"a"}, u"a\0\0"s},
        {u"a\0\0\0"s, {u"a", u""}, u"a\0\0\0"s},
        {u"a\0\0bc"s, {u"a", u"", u"bc"}, u"a\0\0bc\0\0"s},
        {u"\0a\0\0"s, {u"", u"a"}, u"\0a\0\0"s},
    };
    for (const auto& c : cases) {
        Store(Utf16Bytes(c.stored));
        MultiString list{u"stale"};
        ASSERT_EQ(ReadMultiString(key_, u"VlanBinding", &list), kErrorSuccess);
        EXPECT_EQ(list, c.list) << c.stored.size();
        ASSERT_EQ(WriteMultiString(key_, u"VlanBinding", list), kErrorSuccess);
        EXPECT_EQ(Stored(), Utf16Bytes(c.written)) << c.stored.size();
    }
    std::vector<uint8_t> odd = Utf16Bytes(u"ab\0\0"s);
    odd.push_back(0x41);
    Store(odd);
    MultiString list;
    ASSERT_EQ(ReadMultiString(key_, u"VlanBinding", &list), kErrorSuccess);
    EXPECT_EQ(list, MultiString{u"ab"});
    ASSERT_EQ(reg::DeleteValue(key_, u"VlanBinding"), kErrorSuccess);
    EXPECT_EQ(ReadMultiString(key_, u"VlanBinding", &list), kErrorFileNotFound);
    EXPECT_TRUE(list.empty());
}

class RemoveNICRegistrySettingsTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        for (int port = 0; port < 3; ++port) {
            ASSERT_TRUE(testing::WriteValueBytes(testing::DriverKeyPathOf(testing::DefaultPortGuid(port)),
                                                 u"NetworkAddress", kRegSz, Utf16Bytes(u"025A5A000001")));
        }
        team_.numNics = 2;
        team_.teamGuid = ToGuid(kTeamA);
        team_.memberGuids[0] = ToGuid(testing::DefaultPortGuid(0));
        team_.memberGuids[1] = ToGuid(testing::DefaultPortGuid(1));
    }
    bool HasAddress(int port) {
        return ReadValueBytes(testing::DriverKeyPathOf(testing::DefaultPortGuid(port)), u"NetworkAddress")
            .has_value();
    }
    TeamInfo team_{};
};

TEST_F(RemoveNICRegistrySettingsTest, DeletesTheMembersAddressesOnly) {
    ASSERT_EQ(RemoveNICRegistrySettings(nullptr, team_), 1);
    EXPECT_FALSE(HasAddress(0));
    EXPECT_FALSE(HasAddress(1));
    EXPECT_TRUE(HasAddress(2));
}

TEST_F(RemoveNICRegistrySettingsTest, CommandLineFormRestoresFriendlyNames) {
    const std::u16string enumPath =
        u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01\\";
    const std::u16string port0 = enumPath + u"4&3A5A5A00&0&0000";
    const std::u16string port1 = enumPath + u"4&3A5A5A00&0&0010";
    const std::u16string port2 = enumPath + u"4&3A5A5A01&0&0000";
    ASSERT_TRUE(testing::WriteValueBytes(port0, u"FriendlyName", kRegSz, Utf16Bytes(u"Team0:First port\0"s)));
    ASSERT_TRUE(testing::WriteValueBytes(port1, u"FriendlyName", kRegSz, Utf16Bytes(u"Team0\0"s)));
    ASSERT_TRUE(
        testing::WriteValueBytes(port2, u"FriendlyName", kRegSz, Utf16Bytes(u"Team0:Not a member\0"s)));

    ASSERT_EQ(RemoveNICRegistrySettings(nullptr, team_, u"Team0"), 1);
    const auto restored = ReadValueBytes(port0, u"FriendlyName");
    ASSERT_TRUE(restored);
    EXPECT_EQ(*restored, Utf16Bytes(u"First port\0"s));
    // A name that is only the team name has nothing to give back; non-members are not touched.
    EXPECT_EQ(ReadValueBytes(port1, u"FriendlyName"), Utf16Bytes(u"Team0\0"s));
    EXPECT_EQ(ReadValueBytes(port2, u"FriendlyName"), Utf16Bytes(u"Team0:Not a member\0"s));
    EXPECT_FALSE(HasAddress(0));
    EXPECT_TRUE(HasAddress(2));
}

}  // namespace
}  // namespace qv
