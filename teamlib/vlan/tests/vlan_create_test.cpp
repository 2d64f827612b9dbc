// VLAN adapters on simulated machines: recording a VLAN in an adapter's or a team's VlanBinding,
// and creating and removing VLAN adapters end to end.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan.h"
#include "qv/teamlib/vlan_list.h"

namespace qv {
namespace {

using testing::DefaultPortGuid;
using testing::ReadValueBytes;
using testing::StoreEntryPath;
using testing::ToGuid;

const std::u16string kVlanA = u"{5A5A71A0-0000-4000-8000-0000000000A1}";
const std::u16string kVlanB = u"{5A5A71A0-0000-4000-8000-0000000000B2}";

// The entries of a stored VlanBinding; nullopt when the value is missing.
std::optional<std::vector<std::u16string>> Bindings(const std::u16string& member) {
    const auto bytes = ReadValueBytes(StoreEntryPath(member), u"VlanBinding");
    if (!bytes) return std::nullopt;
    std::u16string text(bytes->size() / 2, u'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * 2);
    std::vector<std::u16string> entries;
    for (size_t start = 0; start < text.size() && text[start] != u'\0';) {
        const size_t end = text.find(u'\0', start);
        entries.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

std::optional<uint32_t> Dword(const std::u16string& path, const std::u16string& name) {
    const auto bytes = ReadValueBytes(path, name);
    if (!bytes || bytes->size() != 4) return std::nullopt;
    uint32_t value = 0;
    std::memcpy(&value, bytes->data(), 4);
    return value;
}

class VlanRecordTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    testing::TempMachine machine_;
};

TEST_F(VlanRecordTest, FirstVlanOfAnAdapterCreatesItsEntryAndTheLastRemovesIt) {
    const std::u16string port = DefaultPortGuid(1);
    ASSERT_EQ(AddRemoveVlanInfoNic(ToGuid(port), ToGuid(kVlanA), false), kErrorSuccess);
    EXPECT_EQ(Dword(StoreEntryPath(port), u"TeamNumber"), 0x10u);
    EXPECT_EQ(Dword(StoreEntryPath(port), u"Order"), 0u);
    EXPECT_EQ(Bindings(port), (std::vector<std::u16string>{u"\\Device\\" + kVlanA}));

    ASSERT_EQ(AddRemoveVlanInfoNic(ToGuid(port), ToGuid(kVlanB), false), kErrorSuccess);
    EXPECT_EQ(Bindings(port), (std::vector<std::u16string>{u"\\Device\\" + kVlanB, u"\\Device\\" + kVlanA}));

    ASSERT_EQ(AddRemoveVlanInfoNic(ToGuid(port), ToGuid(kVlanB), true), kErrorSuccess);
    EXPECT_EQ(Bindings(port), (std::vector<std::u16string>{u"\\Device\\" + kVlanA}));
    ASSERT_EQ(AddRemoveVlanInfoNic(ToGuid(port), ToGuid(kVlanA), true), kErrorSuccess);
    EXPECT_FALSE(Dword(StoreEntryPath(port), u"TeamNumber").has_value()) << "the entry is deleted";
}

TEST_F(VlanRecordTest, AMemberKeepsItsTeamNumberAndItsEntry) {
    const std::u16string port = DefaultPortGuid(0);
    ASSERT_TRUE(testing::WriteStoreEntry(port, testing::kTeamA, 0x121, 1));
    ASSERT_EQ(AddRemoveVlanInfoNic(ToGuid(port), ToGuid(kVlanA), false), kErrorSuccess);
    EXPECT_EQ(Dword(StoreEntryPath(port), u"TeamNumber"), 0x121u);
    EXPECT_EQ(Dword(StoreEntryPath(port), u"Order"), 1u);
    ASSERT_EQ(AddRemoveVlanInfoNic(ToGuid(port), ToGuid(kVlanA), true), kErrorSuccess);
    EXPECT_EQ(Dword(StoreEntryPath(port), u"TeamNumber"), 0x121u);
    EXPECT_FALSE(Bindings(port).has_value());
}

TEST_F(VlanRecordTest, TeamVlansGoToEveryMemberAndOnlyToThem) {
    for (int port = 0; port < 3; ++port) {
        ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(port), testing::kTeamA, 0x130 + port, port));
    }
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(3), testing::kTeamB, 0x111, 0));
    ASSERT_EQ(AddRemoveVlanInfoTeam(ToGuid(testing::kTeamA), ToGuid(kVlanA), false), kErrorSuccess);
    for (int port = 0; port < 3; ++port) {
        EXPECT_EQ(Bindings(DefaultPortGuid(port)), (std::vector<std::u16string>{u"\\Device\\" + kVlanA}))
            << port;
    }
    EXPECT_FALSE(Bindings(DefaultPortGuid(3)).has_value());

    ASSERT_EQ(AddRemoveVlanInfoTeam(ToGuid(testing::kTeamA), ToGuid(kVlanA), true), kErrorSuccess);
    for (int port = 0; port < 3; ++port) {
        EXPECT_FALSE(Bindings(DefaultPortGuid(port)).has_value()) << port;
        EXPECT_TRUE(Dword(StoreEntryPath(DefaultPortGuid(port)), u"TeamNumber").has_value()) << "entry kept";
    }
}

TEST_F(VlanRecordTest, TeamWithoutAdaptersKeyFailsAndMalformedEntriesAreSkipped) {
    EXPECT_EQ(AddRemoveVlanInfoTeam(ToGuid(testing::kTeamA), ToGuid(kVlanA), false), kErrorFileNotFound);
    // TeamBinding values that are not a device name of a GUID, or not a string at all.
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(DefaultPortGuid(0)), u"TeamBinding", kRegSz,
                                         testing::Utf16Bytes(std::u16string(u"\\Device\\") + u'\0')));
    ASSERT_TRUE(testing::WriteValueBytes(StoreEntryPath(DefaultPortGuid(1)), u"TeamBinding", kRegDword,
                                         {1, 2, 3, 4}));
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(2), testing::kTeamA, 0x111, 0));
    EXPECT_EQ(AddRemoveVlanInfoTeam(ToGuid(testing::kTeamA), ToGuid(kVlanA), false), kErrorSuccess);
    EXPECT_FALSE(Bindings(DefaultPortGuid(0)).has_value());
    EXPECT_FALSE(Bindings(DefaultPortGuid(1)).has_value());
    EXPECT_TRUE(Bindings(DefaultPortGuid(2)).has_value());
}

// End to end: the miniport's INF of the default machine, cmdInstall, the simulated miniport.
class VlanAdapterTest : public VlanRecordTest {
  protected:
    std::unique_ptr<VlanList> List(const std::u16string& parent, bool isTeam) {
        auto list = std::make_unique<VlanList>();
        EXPECT_TRUE(isTeam ? GetVlanListForTeam(ToGuid(parent), list.get())
                           : GetVlanListForNic(ToGuid(parent), list.get()));
        return list;
    }
};

TEST_F(VlanAdapterTest, OnAnAdapterFromCreationToRemoval) {
    const std::u16string port = DefaultPortGuid(2);
    Guid vlan{};
    ASSERT_TRUE(CreateVlanForNic(ToGuid(port), u"Local Area Connection 3", u"Sales", 42, &vlan, false));
    const std::u16string vlanText = GuidToString(vlan);
    const std::u16string driverKey = testing::DriverKeyPathOf(vlanText);
    ASSERT_FALSE(driverKey.empty());
    EXPECT_EQ(Dword(driverKey, u"VlanID"), 42u);
    EXPECT_EQ(ReadValueBytes(driverKey, u"VlanName"), testing::Utf16Bytes(std::u16string(u"Sales") + u'\0'));
    EXPECT_EQ(Dword(StoreEntryPath(port), u"TeamNumber"), 0x10u);
    EXPECT_EQ(Bindings(port), (std::vector<std::u16string>{u"\\Device\\" + vlanText}));
    const auto list = List(port, false);
    ASSERT_EQ(list->count, 1);
    EXPECT_EQ(list->ids[0], 42);
    EXPECT_EQ(std::u16string(list->names[0]), u"Sales");
    EXPECT_EQ(list->guids[0], vlan);

    EXPECT_EQ(RemoveVlanFromNic(ToGuid(port), vlan, false), 1);
    EXPECT_TRUE(testing::DriverKeyPathOf(vlanText).empty()) << "the VLAN adapter is gone";
    EXPECT_FALSE(Dword(StoreEntryPath(port), u"TeamNumber").has_value())
        << "the entry went with its last VLAN";
    // Once more: the binding is gone already and there is no adapter to remove.
    EXPECT_EQ(RemoveVlanFromNic(ToGuid(port), vlan, false), 0);
}

TEST_F(VlanAdapterTest, OnATeamOfThreeEveryMemberCarriesIt) {
    for (int port = 0; port < 3; ++port) {
        ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(port), testing::kTeamA, 0x130, port));
    }
    Guid vlan{};
    ASSERT_TRUE(CreateVlanForNic(ToGuid(testing::kTeamA), u"Team0", u"Voice", 7, &vlan, true));
    for (int port = 0; port < 3; ++port) {
        EXPECT_EQ(Bindings(DefaultPortGuid(port)),
                  (std::vector<std::u16string>{u"\\Device\\" + GuidToString(vlan)}));
    }
    const auto list = List(testing::kTeamA, true);
    ASSERT_EQ(list->count, 1);
    EXPECT_EQ(list->ids[0], 7);
    EXPECT_EQ(RemoveVlanFromNic(ToGuid(testing::kTeamA), vlan, true), 1);
    EXPECT_EQ(List(testing::kTeamA, true)->count, 0);
}

TEST_F(VlanAdapterTest, NothingIsLeftWhenItCannotBeInstalledOrRecorded) {
    // A team without members has no Adapters entry to record the VLAN in: the adapter that was
    // installed for it is removed again and the error becomes the thread's last error.
    Guid vlan{};
    EXPECT_FALSE(CreateVlanForNic(ToGuid(testing::kTeamB), u"Team1", u"Lost", 5, &vlan, true));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_TRUE(testing::DriverKeyPathOf(GuidToString(vlan)).empty());

    // Without the miniport's INF nothing is installed.
    std::filesystem::remove(machine_.dir() / "Windows" / "Inf" / "oem1.inf");
    EXPECT_FALSE(
        CreateVlanForNic(ToGuid(DefaultPortGuid(0)), u"Local Area Connection", u"x", 1, &vlan, false));
    EXPECT_FALSE(Bindings(DefaultPortGuid(0)).has_value());
}

}  // namespace
}  // namespace qv
