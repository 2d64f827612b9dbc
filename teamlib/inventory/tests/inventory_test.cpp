// The adapter inventory on a simulated machine: classification, provider filters, both builders.
#include "qv/teamlib/inventory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/sim/device_database.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using namespace std::string_literals;
using testing::AddSimAdapter;
using testing::AddTeamAdapter;
using testing::DefaultPortGuid;
using testing::kTeamA;
using testing::kTeamB;
using testing::SimAdapter;
using testing::ToGuid;

const std::u16string kVlan = u"{7EA0F001-0000-4000-8000-000000000001}";
const std::u16string kForeignVirtual = u"{0BE00001-0000-4000-8000-000000000001}";
const std::u16string kOtherRoot = u"{0BE00002-0000-4000-8000-000000000002}";

std::u16string GuidText(const Guid& guid) {
    return GuidToString(guid);
}

// An adapter whose friendly and connection name are both name; provider as SimAdapter has it
// unless given.
SimAdapter Named(const std::u16string& instanceId, const std::u16string& guid, const std::u16string& name,
                 const std::u16string& provider = SimAdapter{}.provider) {
    SimAdapter adapter;
    adapter.instanceId = instanceId;
    adapter.guid = guid;
    adapter.provider = provider;
    adapter.friendlyName = name;
    adapter.connectionName = name;
    return adapter;
}

class InventoryTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }

    // A team adapter of provider spelled "QUORVEX Teaming" (any case, longer name), a VLAN adapter,
    // another vendor's virtual adapter and a root-enumerated device outside ROOT\NET.
    void AddMixedVirtualAdapters() {
        ASSERT_TRUE(AddSimAdapter(Named(u"ROOT\\NET\\0000", kTeamA, u"Team0", u"QUORVEX Teaming")));
        SimAdapter vlan = Named(u"ROOT\\NET\\0001", kVlan, u"Vlan7");
        vlan.vlanId = 7;
        ASSERT_TRUE(AddSimAdapter(vlan));
        ASSERT_TRUE(
            AddSimAdapter(Named(u"ROOT\\NET\\0002", kForeignVirtual, u"Other virtual", u"Quorvx Labs")));
        ASSERT_TRUE(AddSimAdapter(Named(u"ROOT\\SOMEDRV\\0000", kOtherRoot, u"Root device")));
    }

    void SetProvider(const std::u16string& guid, const std::u16string& provider) {
        ASSERT_TRUE(testing::WriteValueBytes(testing::DriverKeyPathOf(guid), u"ProviderName", kRegSz,
                                             testing::Utf16Bytes(provider + u'\0')));
    }

    testing::TempMachine machine_;
};

TEST_F(InventoryTest, ClassifiesByInstanceId) {
    AddMixedVirtualAdapters();
    HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent);
    ASSERT_NE(set, kInvalidDevInfo);
    int physical = 0, virtualAdapters = 0, neither = 0;
    for (uint32_t i = 0;; ++i) {
        DevInfoData device{};
        if (!dev::EnumDeviceInfo(set, i, &device)) break;
        char16_t id[kMaxDeviceIdLength] = {};
        ASSERT_EQ(dev::GetDeviceId(device.devInst, id, kMaxDeviceIdLength, 0), kCrSuccess);
        const std::u16string_view text(id);
        const int isPhysical = IsPhysicalNIC(device);
        const int isVirtual = IsVirtualNIC(device);
        EXPECT_EQ(isPhysical, text.starts_with(u"PCI\\") ? 1 : 0) << std::string(text.begin(), text.end());
        EXPECT_EQ(isVirtual, text.starts_with(u"ROOT\\NET\\") ? 1 : 0);
        physical += isPhysical;
        virtualAdapters += isVirtual;
        neither += !isPhysical && !isVirtual;
    }
    dev::DestroyDeviceInfoList(set);
    EXPECT_EQ(physical, 5);
    EXPECT_EQ(virtualAdapters, 3);
    EXPECT_EQ(neither, 1);

    // A device number that names no device is neither.
    DevInfoData unknown{};
    unknown.devInst = 0x7FFFFFF0;
    EXPECT_EQ(IsPhysicalNIC(unknown), 0);
    EXPECT_EQ(IsVirtualNIC(unknown), 0);
}

TEST_F(InventoryTest, LowerCaseRootPrefixCountsAsVirtual) {
    SimAdapter team;
    team.instanceId = u"root\\net\\0005";
    team.guid = kTeamB;
    team.friendlyName = u"Team9";
    ASSERT_TRUE(AddSimAdapter(team));
    AdapterLists lists{};
    ASSERT_EQ(PopulateGuids(nullptr, &lists, QV_POPULATE, kGuidDevClassNet), 1);
    ASSERT_EQ(lists.teamAdapters.count, 1);
    EXPECT_EQ(lists.teamAdapters.entries[0].guid, ToGuid(kTeamB));
}

TEST_F(InventoryTest, IsQuorvexNicWantsTheExactProvider) {
    EXPECT_TRUE(IsQuorvexNic(ToGuid(DefaultPortGuid(0))));
    EXPECT_FALSE(IsQuorvexNic(ToGuid(testing::kOtherVendorGuid)));
    EXPECT_FALSE(IsQuorvexNic(ToGuid(u"{00000000-0000-0000-0000-000000000001}")));
    SetProvider(DefaultPortGuid(1), u"quorvex");
    EXPECT_FALSE(IsQuorvexNic(ToGuid(DefaultPortGuid(1))));
    SetProvider(DefaultPortGuid(2), u"Quorvex Teaming");
    EXPECT_FALSE(IsQuorvexNic(ToGuid(DefaultPortGuid(2))));
    // The virtual filter of the builders takes any case and longer names.
    AddMixedVirtualAdapters();
    EXPECT_FALSE(IsQuorvexNic(ToGuid(kTeamA)));
}

TEST_F(InventoryTest, ReadStringFromRegistryTerminatesAndClears) {
    const std::u16string path = testing::DriverKeyPathOf(DefaultPortGuid(0));
    ASSERT_TRUE(testing::WriteValueBytes(path, u"Unterminated", kRegBinary, testing::Utf16Bytes(u"abc")));
    ASSERT_TRUE(testing::WriteValueBytes(path, u"OddSize", kRegBinary, {0x41, 0x00, 0x42}));
    HKey key = nullptr;
    ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &key), kErrorSuccess);
    OwnedU16 text;
    ASSERT_EQ(ReadStringFromRegistry(key, u"Unterminated", &text), 1);
    EXPECT_EQ(std::u16string(text.get()), u"abc");
    ASSERT_EQ(ReadStringFromRegistry(key, u"OddSize", &text), 1);
    EXPECT_EQ(std::u16string(text.get()), u"A\u0042");
    ASSERT_EQ(ReadStringFromRegistry(key, u"DriverVersion", &text), 1);
    EXPECT_EQ(std::u16string(text.get()), u"2.0.1.5");
    EXPECT_EQ(ReadStringFromRegistry(key, u"Missing", &text), 0);
    EXPECT_FALSE(text);
    reg::CloseKey(key);
}

TEST_F(InventoryTest, PopulateGuidsFillsTeamAndUnassignedLists) {
    AddMixedVirtualAdapters();
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(0), kTeamA, 0x121, 0));       // team member
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(1), std::nullopt, 0x10, 0));  // carries VLANs only

    AdapterLists lists{};
    ASSERT_EQ(PopulateGuids(nullptr, &lists, QV_POPULATE, kGuidDevClassNet), 1);
    ASSERT_EQ(lists.teamAdapters.count, 1);
    const AdapterEntry& team = lists.teamAdapters.entries[0];
    EXPECT_EQ(team.guid, ToGuid(kTeamA));
    EXPECT_EQ(std::u16string(team.displayName), u"Team0");
    EXPECT_EQ(std::u16string(team.driverVersion), u"2.0.1.5");

    std::vector<std::u16string> unassigned;
    for (int i = 0; i < lists.unassignedAdapters.count; ++i) {
        unassigned.push_back(GuidText(lists.unassignedAdapters.entries[i].guid));
    }
    const std::vector<std::u16string> expected = {DefaultPortGuid(1), DefaultPortGuid(2), DefaultPortGuid(3),
                                                  testing::kOtherVendorGuid};
    EXPECT_EQ(unassigned, expected);
    const AdapterEntry& port = lists.unassignedAdapters.entries[0];
    EXPECT_EQ(std::u16string(port.displayName), u"Quorvex n5 Gigabit Server Adapter #2");
    EXPECT_EQ(std::u16string(port.service), u"qvn5");
    EXPECT_EQ(std::u16string(port.driverDate), u"3-14-2008");
    EXPECT_EQ(port.installState, 0u);
    EXPECT_EQ(
        lists.unassignedAdapters.longestNameLength,
        static_cast<int32_t>(std::u16string_view(u"Northwind NW-1000 Gigabit Ethernet Controller").size()));
    EXPECT_EQ(PopulateGuids(nullptr, nullptr, QV_POPULATE, kGuidDevClassNet), 0);
}

TEST_F(InventoryTest, PopulateGuidsStopsAddingWhenAListIsFull) {
    for (int i = 0; i < kAdapterListCapacity + 3; ++i) {
        const std::u16string guid = u"{7EA10000-0000-4000-8000-0000000000" +
                                    std::u16string(1, u'A' + i / 16) +
                                    std::u16string(1, u"0123456789ABCDEF"[i % 16]) + u"}";
        ASSERT_TRUE(AddTeamAdapter(i, guid, u"Team"));
    }
    AdapterLists lists{};
    ASSERT_EQ(PopulateGuids(nullptr, &lists, QV_POPULATE, kGuidDevClassNet), 1);
    EXPECT_EQ(lists.teamAdapters.count, kAdapterListCapacity);
    EXPECT_EQ(lists.unassignedAdapters.count, 5);
}

TEST_F(InventoryTest, QueryAdaptersListsTeamAdaptersWithConnectionNames) {
    AddMixedVirtualAdapters();
    SimAdapter unnamed;
    unnamed.instanceId = u"ROOT\\NET\\0007";
    unnamed.guid = kTeamB;
    unnamed.description = u"Described only";
    ASSERT_TRUE(AddSimAdapter(unnamed));  // no connection name: not counted
    ASSERT_TRUE(AddTeamAdapter(8, u"{7EA00003-0000-4000-8000-00000000000C}", u"Team1"));

    AdapterTable table{};
    ASSERT_EQ(QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, &table), 1);
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(table.guids[0], ToGuid(kTeamA));
    EXPECT_EQ(std::u16string(table.connectionNames[0]), u"Team0");
    EXPECT_EQ(std::u16string(table.displayNames[0]), u"Team0");
    EXPECT_EQ(table.guids[1], ToGuid(u"{7EA00003-0000-4000-8000-00000000000C}"));
    EXPECT_EQ(std::u16string(table.connectionNames[1]), u"Team1");
}

TEST_F(InventoryTest, QueryAdaptersListsFreePhysicalAdapters) {
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(2), kTeamA, 0x221, 0));
    ASSERT_TRUE(testing::WriteStoreEntry(DefaultPortGuid(3), std::nullopt, 0x10, 0));
    AdapterTable table{};
    ASSERT_EQ(QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, &table), 1);
    ASSERT_EQ(table.count, 4);
    const char16_t* expectedNames[] = {u"Local Area Connection", u"Local Area Connection 2",
                                       u"Local Area Connection 4", u"Local Area Connection 5"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(std::u16string(table.connectionNames[i]), expectedNames[i]) << i;
    EXPECT_EQ(table.guids[2], ToGuid(DefaultPortGuid(3)));
    EXPECT_EQ(std::u16string(table.displayNames[0]), u"Quorvex n5 Gigabit Server Adapter");
    EXPECT_EQ(std::u16string(table.displayNames[3]), u"Northwind NW-1000 Gigabit Ethernet Controller");
}

// Names are written padded to fixed sizes (520 and 522 bytes) larger than the 256-byte reads of the
// inventory: a text that fits is read all the same; a longer one gives the description.
TEST_F(InventoryTest, PaddedFriendlyNamesAreReadWhenTheirTextFits) {
    const struct {
        std::u16string name;
        const char16_t* listed;
    } cases[] = {
        {u"Team0:Local Area Connection", u"Team0:Local Area Connection"},
        {std::u16string(127, u'n'), nullptr},  // with its terminator exactly the 256 bytes read
        {std::u16string(128, u'n'), u"Quorvex n5 Gigabit Server Adapter"},
        {u"", u"Quorvex n5 Gigabit Server Adapter"},
    };
    for (const auto& c : cases) {
        const auto instance = sim::FindDeviceByNetCfgInstanceId(DefaultPortGuid(0));
        ASSERT_TRUE(instance.has_value());
        std::vector<uint8_t> bytes = testing::Utf16Bytes(c.name);
        bytes.resize(520, 0);
        ASSERT_TRUE(testing::WriteValueBytes(sim::DeviceNodePath(*instance), u"FriendlyName", kRegSz, bytes));
        AdapterTable table{};
        ASSERT_EQ(QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, &table), 1);
        EXPECT_EQ(std::u16string(table.displayNames[0]), c.listed ? std::u16string(c.listed) : c.name);
    }
}

TEST_F(InventoryTest, QueryAdaptersStopsAtSixteen) {
    for (int i = 0; i < 18; ++i) {
        const std::u16string guid = u"{7EA20000-0000-4000-8000-0000000000" +
                                    std::u16string(1, u"0123456789ABCDEF"[i / 16]) +
                                    std::u16string(1, u"0123456789ABCDEF"[i % 16]) + u"}";
        ASSERT_TRUE(AddTeamAdapter(i, guid, u"Team" + std::u16string(1, u'a' + i)));
    }
    AdapterTable table{};
    ASSERT_EQ(QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, &table), 1);
    EXPECT_EQ(table.count, kAdapterTableCapacity);
    EXPECT_EQ(std::u16string(table.connectionNames[15]), u"Teamp");
}

TEST_F(InventoryTest, ActingModesAnswerOneWhenTheListOpens) {
    AddMixedVirtualAdapters();
    // The actions themselves are not part of this library slice yet; the builders still walk.
    EXPECT_EQ(QueryAdapters(QV_REMOVE_TEAM, ToGuid(kTeamA), QV_KIND_TEAM_ADAPTERS, nullptr), 1);
    EXPECT_EQ(QueryAdapters(QV_HIDE_NIC, ToGuid(DefaultPortGuid(0)), 0, nullptr), 1);
    EXPECT_EQ(PopulateGuids(nullptr, nullptr, QV_SHOW_NIC, ToGuid(DefaultPortGuid(0))), 1);
    EXPECT_EQ(QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, nullptr), 0);
}

}  // namespace
}  // namespace qv
