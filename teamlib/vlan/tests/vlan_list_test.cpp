// The VLAN list readers on simulated machines: which VLAN adapters a VlanBinding names, in which
// order, and what malformed lists do.
#include "qv/teamlib/vlan_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv {
namespace {

using testing::DefaultPortGuid;
using testing::ToGuid;

std::u16string VlanGuid(int n) {
    return U16Format(u"{5A5A71A0-0000-4000-8000-0000000000%02X}", n + 1);
}
std::u16string TeamGuid(int n) {
    return U16Format(u"{5A5A7EA0-0000-4000-8000-0000000000%02X}", n + 1);
}

bool AddVlan(int number, const std::u16string& guid, uint32_t id, const std::u16string& name,
             const std::u16string& connection = u"") {
    testing::SimAdapter vlan;
    vlan.instanceId = U16Format(u"ROOT\\NET\\%04d", number);
    vlan.guid = guid;
    vlan.connectionName = connection;
    vlan.vlanId = id;
    return testing::AddSimAdapter(vlan) &&
           (name.empty() || testing::WriteValueBytes(testing::DriverKeyPathOf(guid), u"VlanName", kRegSz,
                                                     testing::Utf16Bytes(name + u'\0')));
}

std::vector<uint8_t> MultiSz(const std::vector<std::u16string>& entries) {
    std::u16string list;
    for (const auto& entry : entries) {
        list += entry + u'\0';
    }
    return testing::Utf16Bytes(list + u'\0');
}

bool SetBinding(const std::u16string& member, const std::vector<uint8_t>& bytes) {
    return testing::WriteValueBytes(testing::StoreEntryPath(member), u"VlanBinding", kRegMultiSz, bytes);
}

std::u16string Device(const std::u16string& guid) {
    return u"\\Device\\" + guid;
}

// The text with its hexadecimal letters in lower case.
std::u16string LowerCase(std::u16string text) {
    for (auto& c : text) c = (c >= u'A' && c <= u'F') ? static_cast<char16_t>(c + 32) : c;
    return text;
}

class VlanListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        list_ = std::make_unique<VlanList>();
        list_->count = 99;
    }
    testing::TempMachine machine_;
    std::unique_ptr<VlanList> list_;
};

TEST_F(VlanListTest, NicWithoutAdaptersEntry) {
    EXPECT_FALSE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);
}

TEST_F(VlanListTest, NicEntryWithoutBinding) {
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(0), std::nullopt, 0x10, 0));
    EXPECT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);
}

TEST_F(VlanListTest, NicVlansComeInDeviceOrderWithTheirValues) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u"Sales", u"Local Area Connection 6"));
    ASSERT_TRUE(AddVlan(1, VlanGuid(1), 0x12345, u"Lab"));  // only the low 16 bits are the id
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), MultiSz({Device(VlanGuid(1)), Device(VlanGuid(0))})));

    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    ASSERT_EQ(list_->count, 2);
    EXPECT_EQ(list_->ids[0], 10);
    EXPECT_EQ(ToUtf8(list_->names[0]), "Sales");
    EXPECT_EQ(list_->guids[0], ToGuid(VlanGuid(0)));
    EXPECT_EQ(ToUtf8(list_->connectionNames[0]), "Local Area Connection 6");
    EXPECT_EQ(list_->ids[1], 0x2345);
    EXPECT_EQ(ToUtf8(list_->names[1]), "Lab");
    EXPECT_EQ(list_->guids[1], ToGuid(VlanGuid(1)));
    EXPECT_EQ(ToUtf8(list_->connectionNames[1]), "");
}

// Only a 4-byte REG_DWORD is an id; anything else under VlanID lists the VLAN with id 0, as a
// missing VlanID does, even where its bytes would read as a number.
TEST_F(VlanListTest, VlanIdOfAnotherTypeOrSizeListsIdZero) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u"Sales"));
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), MultiSz({Device(VlanGuid(0))})));
    const std::u16string driverKey = testing::DriverKeyPathOf(VlanGuid(0));
    const struct {
        const char* what;
        uint32_t type;
        std::vector<uint8_t> bytes;
        uint16_t id;
    } cases[] = {
        {"dword", kRegDword, {0x2A, 0x01, 0x00, 0x00}, 0x12A},
        {"\"5\" with its terminator", kRegSz, {0x35, 0x00, 0x00, 0x00}, 0},
        {"binary of four bytes", kRegBinary, {0x2A, 0x00, 0x00, 0x00}, 0},
        {"short dword", kRegDword, {0x2A, 0x00}, 0},
        {"empty dword", kRegDword, {}, 0},
        {"qword", kRegQword, {0x2A, 0, 0, 0, 0, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(testing::WriteValueBytes(driverKey, u"VlanID", c.type, c.bytes));
        ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get())) << c.what;
        ASSERT_EQ(list_->count, 1) << c.what;
        EXPECT_EQ(list_->ids[0], c.id) << c.what;
    }
}

TEST_F(VlanListTest, VlanWithoutNameIsNotListed) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u""));
    ASSERT_TRUE(AddVlan(1, VlanGuid(1), 20, u"Lab"));
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), MultiSz({Device(VlanGuid(0)), Device(VlanGuid(1))})));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    ASSERT_EQ(list_->count, 1);
    EXPECT_EQ(list_->ids[0], 20);
}

TEST_F(VlanListTest, MalformedBindingsAreReadSafely) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u"Sales"));
    ASSERT_TRUE(AddVlan(1, VlanGuid(1), 20, u"Lab"));
    const std::u16string one = Device(VlanGuid(1));

    // No terminator at all, and an odd byte count.
    std::vector<uint8_t> bare = testing::Utf16Bytes(one);
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), bare));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    ASSERT_EQ(list_->count, 1);
    EXPECT_EQ(list_->ids[0], 20);

    // An odd byte after a terminated entry makes a one-character entry of its own.
    std::vector<uint8_t> odd = testing::Utf16Bytes(one + u'\0');
    odd.push_back(0x41);
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), odd));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 1);
    bare.push_back(0x41);  // ... and without the terminator it spoils the only entry
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), bare));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);

    // Entries that name no adapter must not match every adapter.
    ASSERT_TRUE(
        SetBinding(DefaultPortGuid(0), MultiSz({u"\\Device\\", u"nobackslash", u"\\Device\\{5A5A71A0"})));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);

    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), {0x5C}));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);
}

TEST_F(VlanListTest, StopsAtSixtyFour) {
    std::vector<std::u16string> entries;
    for (int n = 0; n < 66; ++n) {
        ASSERT_TRUE(AddVlan(n, VlanGuid(n), static_cast<uint32_t>(n + 1), U16Format(u"V%d", n + 1)));
        entries.push_back(Device(VlanGuid(n)));
    }
    ASSERT_TRUE(SetBinding(DefaultPortGuid(0), MultiSz(entries)));
    ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get()));
    ASSERT_EQ(list_->count, kMaxVlans);
    EXPECT_EQ(list_->ids[63], 64);
}

// Entries that name no present VLAN adapter (an unknown GUID, garbage, an empty string, a GUID in
// lower case or named twice) are skipped: the real VLAN adapters around them are all found, each
// once, in device order.
TEST_F(VlanListTest, EntriesOfNoPresentAdapterHideNoRealOne) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u"Sales"));
    ASSERT_TRUE(AddVlan(1, VlanGuid(1), 20, u"Lab"));
    const std::u16string unknown = Device(u"{11111111-2222-3333-4444-555555555555}");
    const std::u16string lower = LowerCase(Device(VlanGuid(1)));
    const struct {
        const char* what;
        std::vector<std::u16string> entries;
        std::vector<uint16_t> ids;
    } cases[] = {
        {"unknown first", {unknown, Device(VlanGuid(1)), Device(VlanGuid(0))}, {10, 20}},
        {"unknown last", {Device(VlanGuid(0)), unknown}, {10}},
        {"garbage between", {Device(VlanGuid(0)), u"garbage", u"\\Device\\", Device(VlanGuid(1))}, {10, 20}},
        {"empty entry between", {Device(VlanGuid(1)), u"", unknown, u"", Device(VlanGuid(0))}, {10, 20}},
        {"empty entry first", {u"", Device(VlanGuid(0))}, {10}},
        {"lower case", {lower}, {20}},
        {"named twice", {Device(VlanGuid(0)), unknown, Device(VlanGuid(0))}, {10}},
        {"only unknown", {unknown}, {}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetBinding(DefaultPortGuid(0), MultiSz(c.entries)));
        ASSERT_TRUE(GetVlanListForNic(ToGuid(DefaultPortGuid(0)), list_.get())) << c.what;
        EXPECT_EQ(std::vector<uint16_t>(list_->ids, list_->ids + list_->count), c.ids) << c.what;
    }
}

// A team's VLANs come from every member whose TeamBinding names it (in any letter case), each VLAN
// once: a member whose list is stale or edited hides nothing the others list. Other teams' lists
// do not count.
TEST_F(VlanListTest, TeamListGathersEveryMembersList) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u"Sales"));
    ASSERT_TRUE(AddVlan(1, VlanGuid(1), 20, u"Lab"));
    ASSERT_TRUE(AddVlan(2, VlanGuid(2), 30, u"Voice"));
    ASSERT_TRUE(testing::AddTeamAdapter(3, TeamGuid(0), u"Team0"));
    ASSERT_TRUE(testing::AddTeamAdapter(4, TeamGuid(1), u"Team1"));
    const std::u16string lower = LowerCase(TeamGuid(0));
    const struct {
        std::u16string team;
        std::vector<std::u16string> entries;
    } members[] = {
        {TeamGuid(0), {Device(u"{11111111-2222-3333-4444-555555555555}")}},
        {lower, {Device(VlanGuid(1)), u"", Device(VlanGuid(0))}},
        {TeamGuid(0), {Device(VlanGuid(0))}},
        {TeamGuid(1), {Device(VlanGuid(2))}},
    };
    for (int m = 0; m < 4; ++m) {
        ASSERT_TRUE(
            testing::WriteStoreEntry(DefaultPortGuid(m), members[m].team, 0x140, static_cast<uint32_t>(m)));
        ASSERT_TRUE(SetBinding(DefaultPortGuid(m), MultiSz(members[m].entries)));
    }
    ASSERT_TRUE(GetVlanListForTeam(ToGuid(TeamGuid(0)), list_.get()));
    EXPECT_EQ(std::vector<uint16_t>(list_->ids, list_->ids + list_->count), std::vector<uint16_t>({10, 20}));
    ASSERT_TRUE(GetVlanListForTeam(ToGuid(TeamGuid(1)), list_.get()));
    EXPECT_EQ(std::vector<uint16_t>(list_->ids, list_->ids + list_->count), std::vector<uint16_t>({30}));
}

TEST_F(VlanListTest, TeamWithoutVlansAndWithoutAdaptersKey) {
    EXPECT_FALSE(GetVlanListForTeam(ToGuid(TeamGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(0), TeamGuid(0), 0x120, 0));
    list_->count = 7;
    EXPECT_TRUE(GetVlanListForTeam(ToGuid(TeamGuid(0)), list_.get()));
    EXPECT_EQ(list_->count, 0);
}

TEST_F(VlanListTest, ResolvesAListGivenDirectly) {
    ASSERT_TRUE(AddVlan(0, VlanGuid(0), 10, u"Sales"));
    const std::u16string list = Device(VlanGuid(0));
    ASSERT_TRUE(GetVlanIdForDevices(list.data(), list.size(), list_.get()));
    EXPECT_EQ(list_->count, 1);
    ASSERT_TRUE(GetVlanIdForDevices(nullptr, 0, list_.get()));
    EXPECT_EQ(list_->count, 0);
}

}  // namespace
}  // namespace qv
