// What the default machine holds, and how the inventory options change it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::ReadFile;
using qv::testing::TempMachine;
using sim::RegKey;

// One network adapter as the teaming programs see it.
struct Seen {
    std::u16string id, friendly, provider, guid, connection, tcpOffload, mac;
    uint32_t characteristics = 0;
};

std::vector<Seen> NetAdapters() {
    std::vector<Seen> list;
    HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent);
    EXPECT_NE(set, kInvalidDevInfo);
    DevInfoData device;
    for (uint32_t i = 0; dev::EnumDeviceInfo(set, i, &device); ++i) {
        Seen s;
        char16_t id[kMaxDeviceIdLength];
        EXPECT_EQ(dev::GetDeviceId(device.devInst, id, kMaxDeviceIdLength, 0), kCrSuccess);
        s.id = id;
        RegKey node, drv, connection, state;
        EXPECT_EQ(RegKey::Open(std::u16string(sim::kEnumPath) + u"\\" + s.id, kKeyRead, &node),
                  kErrorSuccess);
        s.friendly = node.ReadString(u"FriendlyName").value_or(u"");
        drv = RegKey(dev::OpenDevRegKey(set, &device, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead));
        s.provider = drv.ReadString(u"ProviderName").value_or(u"");
        s.guid = drv.ReadString(u"NetCfgInstanceId").value_or(u"");
        s.tcpOffload = drv.ReadString(u"TCPOffload").value_or(u"");
        s.characteristics = drv.ReadDword(u"Characteristics").value_or(0);
        RegKey::Open(std::u16string(sim::kNetworkPath) + u"\\" + std::u16string(sim::kNetClassGuid) + u"\\" +
                         s.guid + u"\\Connection",
                     kKeyRead, &connection);
        s.connection = connection.ReadString(u"Name").value_or(u"");
        RegKey::Open(std::u16string(sim::kSimDevicesPath) + u"\\" + sim::DeviceStateKeyName(s.id), kKeyRead,
                     &state);
        s.mac = state.ReadString(sim::kStatePermanentAddress).value_or(u"");
        list.push_back(s);
    }
    dev::DestroyDeviceInfoList(set);
    return list;
}

TEST(DefaultInventory, FourN5PortsAndOneOtherVendorAdapter) {
    TempMachine machine;
    const auto adapters = NetAdapters();
    ASSERT_EQ(adapters.size(), 5u);
    const char16_t* friendly[] = {
        u"Quorvex n5 Gigabit Server Adapter", u"Quorvex n5 Gigabit Server Adapter #2",
        u"Quorvex n5 Gigabit Server Adapter #3", u"Quorvex n5 Gigabit Server Adapter #4",
        u"Northwind NW-1000 Gigabit Ethernet Controller"};
    const char16_t* connection[] = {u"Local Area Connection", u"Local Area Connection 2",
                                    u"Local Area Connection 3", u"Local Area Connection 4",
                                    u"Local Area Connection 5"};
    std::set<std::u16string> guids, macs;
    for (size_t i = 0; i < adapters.size(); ++i) {
        const auto& a = adapters[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(a.friendly, friendly[i]);
        EXPECT_EQ(a.connection, connection[i]);
        EXPECT_EQ(a.provider, i < 4 ? u"Quorvex" : u"Northwind Networks");
        EXPECT_EQ(a.characteristics, 0x84u);
        EXPECT_EQ(a.tcpOffload, u"0");
        Guid parsed;
        EXPECT_TRUE(GuidFromString(a.guid, &parsed));
        ASSERT_EQ(a.mac.size(), 12u);
        // Locally administered, never a real vendor's prefix.
        EXPECT_TRUE(a.mac.starts_with(i < 4 ? u"025A5A" : u"02")) << ToUtf8(a.mac);
        guids.insert(a.guid);
        macs.insert(a.mac);
    }
    EXPECT_EQ(guids.size(), 5u);
    EXPECT_EQ(macs.size(), 5u);
}

TEST(DefaultInventory, BusDriverInstancesAndInterfaceRegistrations) {
    TempMachine machine;
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const std::u16string n = k == 0 ? u"0000" : u"0001";
        const std::u16string guid = u"{B5C98E43-7483-415C-9308-38065264E10B}";
        RegKey iface, node, state;
        ASSERT_EQ(RegKey::Open(u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + guid +
                                   u"\\##?#ROOT#QVVBD#" + n + u"#" + guid,
                               kKeyRead, &iface),
                  kErrorSuccess);
        EXPECT_EQ(iface.ReadString(u"DeviceInstance"), u"ROOT\\QVVBD\\" + n);
        EXPECT_EQ(iface.ReadString(u"SymbolicLink"), u"\\\\?\\ROOT#QVVBD#" + n + u"#" + guid);
        ASSERT_EQ(RegKey::Open(u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\QVVBD\\" + n, kKeyRead, &node),
                  kErrorSuccess);
        EXPECT_EQ(node.ReadString(u"Service"), u"qvvbd");
        EXPECT_EQ(node.ReadString(u"ClassGUID"), u"{4D36E97D-E325-11CE-BFC1-08002BE10318}");
        ASSERT_EQ(RegKey::Open(u"SOFTWARE\\QvSim\\Devices\\ROOT#QVVBD#" + n, kKeyRead, &state),
                  kErrorSuccess);
        EXPECT_EQ(state.ReadDword(u"Present"), 1u);
    }
}

TEST(DefaultInventory, ProtocolsInstalledAndBoundToEveryAdapter) {
    TempMachine machine;
    RegKey tcpip, team;
    const std::u16string nettrans =
        u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E975-E325-11CE-BFC1-08002BE10318}";
    ASSERT_EQ(RegKey::Open(nettrans + u"\\0000", kKeyRead, &tcpip), kErrorSuccess);
    ASSERT_EQ(RegKey::Open(nettrans + u"\\0001", kKeyRead, &team), kErrorSuccess);
    EXPECT_EQ(tcpip.ReadString(u"ComponentId"), u"ms_tcpip");
    EXPECT_EQ(team.ReadString(u"ComponentId"), u"qv_qvteamp");

    RegKey paths;
    ASSERT_EQ(RegKey::Open(u"SOFTWARE\\QvSim\\NetCfg\\BindingPaths", kKeyRead, &paths), kErrorSuccess);
    const auto names = paths.SubKeys();
    ASSERT_EQ(names.size(), 10u);  // two protocols over five adapters
    std::set<std::u16string> tokens;
    for (const auto& name : names) {
        RegKey path;
        ASSERT_EQ(RegKey::Open(paths.get(), name, kKeyRead, &path), kErrorSuccess);
        EXPECT_EQ(path.ReadDword(u"Enabled"), 1u);
        const auto components = path.ReadMultiString(u"Components");
        ASSERT_TRUE(components);
        EXPECT_EQ(components->size(), 2u);
        tokens.insert(path.ReadString(u"Token").value_or(u""));
    }
    EXPECT_EQ(tokens.size(), 10u);
    EXPECT_TRUE(tokens.count(u"qv_qvteamp->{5A5A0005-0000-4000-8000-000000000001}"));
    EXPECT_TRUE(tokens.count(u"ms_tcpip->{6E770001-0000-4000-8000-000000000001}"));

    // The teaming protocol's parameters key exists; its Adapters key does not yet.
    RegKey parameters, adapters;
    EXPECT_EQ(
        RegKey::Open(u"SYSTEM\\CurrentControlSet\\Services\\qvteamp\\Parameters", kKeyRead, &parameters),
        kErrorSuccess);
    EXPECT_EQ(RegKey::Open(u"SYSTEM\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters", kKeyRead,
                           &adapters),
              kErrorFileNotFound);
}

TEST(DefaultInventory, TeamingInfFilesInTheWindowsDirectory) {
    TempMachine machine;
    const auto inf = machine.dir() / "Windows" / "Inf";
    const std::string distractor = ReadFile(inf / "oem0.inf");
    const std::string miniport = ReadFile(inf / "oem1.inf");
    const std::string protocol = ReadFile(inf / "oem2.inf");
    EXPECT_NE(distractor.find("Class       = Net\r\n"), std::string::npos);
    EXPECT_EQ(distractor.find("QV_QVTEAMMP"), std::string::npos);
    EXPECT_NE(miniport.find("[ControlFlags]\r\nExcludeFromSelect = QV_QVTEAMMP\r\n"), std::string::npos);
    EXPECT_NE(miniport.find("Class       = Net\r\n"), std::string::npos);
    EXPECT_NE(protocol.find("Class       = NetTrans\r\n"), std::string::npos);
    EXPECT_NE(protocol.find("Provider    = \"Quorvex Ruvizidiridavo Inc.,\"\r\n"), std::string::npos);
}

TEST(DefaultInventory, OptionsVaryCardsVendorOsAndAdministrator) {
    sim::InventoryOptions options;
    options.cards = 1;
    options.otherVendorAdapter = false;
    options.osMajor = 5;
    options.osMinor = 1;
    options.osBuild = 2600;
    options.administrator = false;
    TempMachine machine(options);
    const auto adapters = NetAdapters();
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[1].connection, u"Local Area Connection 2");
    const std::pair<const char16_t*, uint32_t> hostValues[] = {
        {u"OsMajor", 5}, {u"OsMinor", 1}, {u"OsBuild", 2600}, {u"PlatformId", 2}, {u"Administrator", 0}};
    for (const auto& [name, value] : hostValues) EXPECT_EQ(sim::ReadHostValue(name), value) << ToUtf8(name);
    RegKey second;
    EXPECT_EQ(RegKey::Open(u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\QVVBD\\0001", kKeyRead, &second),
              kErrorFileNotFound);
}

TEST(DefaultInventory, RefusesImpossibleCardCounts) {
    TempMachine machine;
    for (const int cards : {-1, 9}) {
        sim::InventoryOptions options;
        options.cards = cards;
        EXPECT_FALSE(sim::WriteDefaultInventory(options)) << cards;
    }
}

}  // namespace
}  // namespace qv
