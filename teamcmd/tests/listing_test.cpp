// The listing on prepared machines: console text, log content and status.
#include "listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "command_record.h"
#include "console.h"
#include "golden.h"
#include "qv/platform/registry.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "scenarios.h"

namespace qv::teamcmd {
namespace {

using testing::Golden;

struct Listed {
    uint32_t status;
    std::string console;
};

Listed List(const CommandRecord& record) {
    ConsoleCapture capture;
    const uint32_t status = CmdListTeams(record);
    return {status, capture.Text()};
}

Listed List() {
    CommandRecord record{};
    record.flags = OPT_LIST;
    return List(record);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// The log header with any time line ("Tue Dec 08 00:05:42 2026").
const char kHeaderPattern[] =
    "\r\n============================\r\n"
    "[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\r\n"
    "============================\r\n";

std::string Escaped(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// Lists a fresh machine (the default inventory, or no devices at all) after importing fixture
// when one is named: the listing fails with status 1 and prints exactly the golden text.
void ExpectListing(bool defaultInventory, const char* fixture, const char* golden) {
    qv::testing::TempMachine machine(defaultInventory ? qv::sim::InventoryOptions{}
                                                      : qv::testing::NoAdapters());
    ASSERT_TRUE(machine.ok());
    if (fixture) {
        ASSERT_TRUE(testing::ImportFixture(fixture));
    }
    const Listed listed = List();
    EXPECT_EQ(listed.status, 1u);
    EXPECT_EQ(listed.console, Golden(golden));
}

TEST(Listing, NoAdaptersAndNoTeams) {
    ExpectListing(false, nullptr, "listing_empty.txt");
}

TEST(Listing, DefaultMachine) {
    ExpectListing(true, nullptr, "listing_default.txt");
}

TEST(Listing, FreeAdapterWithVlansInDeviceOrder) {
    ExpectListing(true, "free_adapters_with_vlans.reg", "listing_free_vlans.txt");
}

// Modes, member order, an Order of 8, team VLANs, and team adapters beyond the four records.
TEST(Listing, TeamsInAllModes) {
    ExpectListing(true, "teams_in_all_modes.reg", "listing_teams.txt");
}

TEST(Listing, OrderOutsideTheMemberSlotsIsAnError) {
    qv::testing::TempMachine machine;
    ASSERT_TRUE(machine.ok());
    ASSERT_TRUE(testing::AddTeam(
        0, testing::TeamGuid(0), u"Team0", 0x220,
        {{qv::testing::DefaultPortGuid(0), 0xFFFFFFFF}, {qv::testing::DefaultPortGuid(1), 7}}));
    const Listed listed = List();
    EXPECT_NE(listed.console.find("  Team Mode: TLB_MODE\n  Adapters in Team:\n"
                                  "      Error in listing Nic\n      2. \n"),
              std::string::npos)
        << listed.console;
}

// Damaged records outside a listed team: a TeamNumber of the wrong type on an adapter that names
// no team keeps it out of the free adapters and is named once after the teams; an Order of the
// wrong type names no member.
TEST(ListingDamaged, RecordsOutsideATeamAndOrdersOfTheWrongType) {
    qv::testing::TempMachine machine;
    ASSERT_TRUE(machine.ok());
    ASSERT_TRUE(
        testing::AddTeam(0, testing::TeamGuid(0), u"Team0", 0x120,
                         {{qv::testing::DefaultPortGuid(0), 0}, {qv::testing::DefaultPortGuid(1), 1}}));
    ASSERT_TRUE(qv::testing::WriteValueBytes(qv::testing::StoreEntryPath(qv::testing::DefaultPortGuid(1)),
                                             u"Order", kRegSz, qv::testing::StringBytes(u"1")));
    ASSERT_TRUE(qv::testing::WriteValueBytes(qv::testing::StoreEntryPath(qv::testing::DefaultPortGuid(2)),
                                             u"TeamNumber", kRegBinary, {0x10, 0, 0, 0}));
    const Listed listed = List();
    EXPECT_EQ(listed.console.find("Local Area Connection 3:"), std::string::npos) << listed.console;
    const std::string tail =
        "  Adapters in Team:\n      1. Quorvex n5 Gigabit Server Adapter\n"
        "      Error in listing Nic\n\n"
        "Damaged team record: Local Area Connection 3 (Quorvex n5 Gigabit Server Adapter #3)\n";
    ASSERT_GE(listed.console.size(), tail.size());
    EXPECT_EQ(listed.console.substr(listed.console.size() - tail.size()), tail);
}

// A physical adapter ("PCI\<id>\0") with neither friendly name nor description.
void AddNamelessPort(const std::u16string& id, const std::u16string& guid) {
    qv::testing::SimAdapter port;
    port.instanceId = u"PCI\\" + id + u"\\0";
    port.guid = guid;
    ASSERT_TRUE(qv::testing::AddSimAdapter(port));
    const std::u16string node = u"SYSTEM\\CurrentControlSet\\Enum\\" + port.instanceId;
    HKey key = nullptr;
    ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, node.c_str(), kKeyAllAccess, &key), kErrorSuccess);
    EXPECT_EQ(reg::DeleteValue(key, u"DeviceDesc"), kErrorSuccess);
    reg::CloseKey(key);
}

// Members are named in device order from one buffer: a member without names gets "dummy" before
// any name was read, else the last name read.
TEST(Listing, MemberWithoutNamesKeepsTheLastNameRead) {
    qv::testing::TempMachine machine;
    ASSERT_TRUE(machine.ok());
    const std::u16string first = u"{5A5A00B0-0000-4000-8000-000000000001}";
    const std::u16string last = u"{5A5A00B0-0000-4000-8000-000000000002}";
    AddNamelessPort(u"AAAA", first);
    AddNamelessPort(u"ZZZZ", last);
    ASSERT_TRUE(testing::AddTeam(0, testing::TeamGuid(0), u"Team0", 0x230,
                                 {{qv::testing::DefaultPortGuid(0), 0}, {first, 1}, {last, 2}}));
    const Listed listed = List();
    EXPECT_NE(listed.console.find("  Adapters in Team:\n"
                                  "      1. Quorvex n5 Gigabit Server Adapter\n"
                                  "      2. dummy\n"
                                  "      3. Quorvex n5 Gigabit Server Adapter\n"),
              std::string::npos)
        << listed.console;
}

class ListingLog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        logPath_ = machine_.dir().parent_path() / "list.log";
        record_.flags = OPT_LIST | OPT_LOG;
        const std::u16string name = FromUtf8(logPath_.string());
        U16CopyInto(record_.logFileName, kCommandNameCapacity, name);
    }

    qv::testing::TempMachine machine_;
    std::filesystem::path logPath_;
    CommandRecord record_{};
};

TEST_F(ListingLog, AppendsHeaderFreeAndTeamAdapterNames) {
    ASSERT_TRUE(testing::ImportFixture("teams_in_all_modes.reg"));
    const Listed listed = List(record_);
    EXPECT_EQ(listed.status, 1u);
    EXPECT_EQ(listed.console, Golden("listing_teams.txt"));
    const std::string once = std::string(kHeaderPattern) + Escaped(Golden("log_teams_after_header.txt"));
    EXPECT_TRUE(std::regex_match(ReadFile(logPath_), std::regex(once))) << ReadFile(logPath_);
}

TEST_F(ListingLog, NeverTruncates) {
    {
        std::ofstream earlier(logPath_, std::ios::binary);
        earlier << "earlier run\r\n";
    }
    List(record_);
    List(record_);
    const std::string run = std::string(kHeaderPattern) + Escaped(Golden("log_default_after_header.txt"));
    EXPECT_TRUE(std::regex_match(ReadFile(logPath_), std::regex("earlier run\r\n" + run + run)))
        << ReadFile(logPath_);
}

// A log that fails during the listing is said (on standard error) and ends it with a failure status.
TEST_F(ListingLog, UnopenableLogIsSaidAndFailsAfterTheFreeAdapters) {
    const std::string name = (machine_.dir() / "missing" / "list.log").string();
    U16CopyInto(record_.logFileName, kCommandNameCapacity, FromUtf8(name));
    const Listed listed = List(record_);
    EXPECT_EQ(listed.status, QV_LOG_FILE_UNAVAILABLE);
    const std::string expected = Golden("listing_default.txt");
    EXPECT_EQ(listed.console, expected.substr(0, expected.find("\nTeam Adapters:\n")) + "The log file " +
                                  name + " cannot be opened.\n");
}

}  // namespace
}  // namespace qv::teamcmd
