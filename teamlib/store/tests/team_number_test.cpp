// Team numbers, the modes table, device names and the GUI's team-name check: no registry involved.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "qv/teamlib/team_store.h"

namespace qv {
namespace {

TeamTable TableWithSlots(std::initializer_list<std::pair<int, int32_t>> recordsAndNumbers) {
    TeamTable table{};
    table.capacity = kCmdTeamCapacity;
    for (const auto& [record, number] : recordsAndNumbers) {
        table.teams[record].inUse = 1;
        table.teams[record].TeamNumber = number;
    }
    return table;
}

TEST(TeamSlotTest, LowestFreeSlotElseTheCount) {
    EXPECT_EQ(AllocateTeamSlot(TableWithSlots({}), 0), 0);
    EXPECT_EQ(AllocateTeamSlot(TableWithSlots({{0, 0x120}, {1, 0x222}}), 2), 1);
    EXPECT_EQ(AllocateTeamSlot(TableWithSlots({{0, 0x120}, {1, 0x221}}), 2), 2);
    EXPECT_EQ(AllocateTeamSlot(TableWithSlots({{0, 0x122}, {1, 0x121}, {2, 0x120}}), 3), 3);
    EXPECT_EQ(AllocateTeamSlot(TableWithSlots({{0, 0x121}}), 1), 0);
}

TEST(TeamSlotTest, RecordsBehindAnEmptyPositionAreSeen) {
    // Team adapter 0 has no entries, so the one team sits in record 1 with slot 0.
    EXPECT_EQ(AllocateTeamSlot(TableWithSlots({{1, 0x120}}), 1), 1);
    // A record not in use does not hold its slot.
    TeamTable table = TableWithSlots({{0, 0x120}});
    table.teams[1].TeamNumber = 0x121;
    EXPECT_EQ(AllocateTeamSlot(table, 2), 1);
}

TEST(TeamNumberTest, PacksModeMembersAndSlot) {
    EXPECT_EQ(AllocateTeamNumber(TableWithSlots({}), 0, QV_MODE_FAILBACK, 3), 0x930);
    EXPECT_EQ(AllocateTeamNumber(TableWithSlots({{0, 0x220}}), 1, QV_MODE_LACP, 2), 0x421);
    EXPECT_EQ(MakeTeamNumber(QV_MODE_FAILBACK, 3, 2), 0x932);
    EXPECT_EQ(TeamModeOf(0x932), 9);
    EXPECT_EQ(TeamSlotOf(0x932), 2);
    EXPECT_EQ(TeamModeOf(kVlanOnlyTeamNumber), 0);
}

TEST(TeamModeTest, TableHoldsTheFourModes) {
    const struct {
        int32_t mode;
        std::u16string_view gui, listing;
        int number;
    } expected[] = {{1, u"Active Backup", u"ACTIVE_BACKUP_MODE", 1},
                    {2, u"Transmit Load Balancing", u"TLB_MODE", 2},
                    {4, u"802.3ad LACP", u"LACP_MODE", 3},
                    {9, u"Active Backup with Failback to Active", u"FAILBACK_MODE", 4}};
    for (const auto& e : expected) {
        const TeamModeInfo* byMode = FindTeamMode(e.mode);
        ASSERT_NE(byMode, nullptr) << e.mode;
        EXPECT_EQ(byMode->guiName, e.gui);
        EXPECT_EQ(byMode->listingName, e.listing);
        EXPECT_EQ(FindTeamModeByNumber(e.number), byMode);
    }
    EXPECT_EQ(FindTeamMode(8), nullptr);
    EXPECT_EQ(FindTeamMode(0), nullptr);
    EXPECT_EQ(FindTeamModeByNumber(5), nullptr);
}

TEST(DevicePrefixTest, AddAndRemove) {
    const char16_t guid[] = u"{5A5A0005-0000-4000-8000-000000000001}";
    OwnedU16 device = AddDevicePrefix(guid);
    ASSERT_TRUE(device);
    EXPECT_EQ(std::u16string(device.get()), u"\\Device\\{5A5A0005-0000-4000-8000-000000000001}");
    OwnedU16 win32 = AddWin32DevicePrefix(guid);
    ASSERT_TRUE(win32);
    EXPECT_EQ(std::u16string(win32.get()), u"\\\\.\\{5A5A0005-0000-4000-8000-000000000001}");
    OwnedU16 back = RemoveDevicePrefix(device.get());
    ASSERT_TRUE(back);
    EXPECT_EQ(std::u16string(back.get()), guid);
    EXPECT_EQ(std::u16string(RemoveDevicePrefix(u"a\\b\\c").get()), u"c");
    EXPECT_EQ(std::u16string(RemoveDevicePrefix(u"ends\\").get()), u"");
    EXPECT_FALSE(RemoveDevicePrefix(u"{no-prefix}"));
    EXPECT_FALSE(RemoveDevicePrefix(nullptr));
    EXPECT_FALSE(AddDevicePrefix(nullptr));
}

TEST(CheckTeamNameTest, InUseInvalidOrUsable) {
    const std::u16string_view teams[] = {u"Team0", u"Backbone"};
    EXPECT_EQ(CheckTeamName(u"team0", teams), QV_TEAM_NAME_IN_USE);
    EXPECT_EQ(CheckTeamName(u"BACKBONE", teams), QV_TEAM_NAME_IN_USE);
    EXPECT_EQ(CheckTeamName(u"Team1", teams), QV_TEAM_NAME_OK);
    EXPECT_EQ(CheckTeamName(u"9lives", teams), QV_TEAM_NAME_OK);
    EXPECT_EQ(CheckTeamName(u"\u00c9quipe", teams), QV_TEAM_NAME_OK);
    EXPECT_EQ(CheckTeamName(u"_team", teams), QV_TEAM_NAME_INVALID);
    EXPECT_EQ(CheckTeamName(u" Team", teams), QV_TEAM_NAME_INVALID);
    EXPECT_EQ(CheckTeamName(u"", teams), QV_TEAM_NAME_INVALID);
    EXPECT_EQ(CheckTeamName(nullptr, teams), QV_TEAM_NAME_INVALID);
    // Only the first 256 units take part.
    const std::u16string longName = std::u16string(256, u'a');
    const std::u16string_view longTeam[] = {longName};
    EXPECT_EQ(CheckTeamName((longName + u"tail").c_str(), longTeam), QV_TEAM_NAME_IN_USE);
}

TEST(CheckTeamNameTest, GuiListUsesTheFirstTeamsOnly) {
    AdapterList list{};
    list.count = 3;
    std::u16string_view names[] = {u"Team0", u"Team1", u"Team2"};
    for (int i = 0; i < 3; ++i) std::copy(names[i].begin(), names[i].end(), list.entries[i].displayName);
    g_numTeams = 2;
    EXPECT_EQ(CheckTeamName(u"TEAM1", list), QV_TEAM_NAME_IN_USE);
    EXPECT_EQ(CheckTeamName(u"Team2", list), QV_TEAM_NAME_OK);
    g_numTeams = 0;
    EXPECT_EQ(CheckTeamName(u"Team0", list), QV_TEAM_NAME_OK);
}

}  // namespace
}  // namespace qv
