// Driver lists, driver installation through newdev.dll and the simulated team miniport on the
// default simulated machine, through the ports.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "device_install_support.h"
#include "qv/platform/clock.h"
#include "qv/platform/devinst.h"
#include "qv/platform/files.h"
#include "qv/platform/newdev.h"
#include "qv/sim/clock.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/simulated_miniport.h"
#include "qv/testing/bytes.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::NetDevice;
using qv::testing::TempMachine;

const std::u16string kNetClass(kGuidDevClassNetText);

std::u16string InfPath(const char16_t* name) {
    char16_t windows[kMaxPath];
    const uint32_t length = file::GetSystemWindowsDirectory(windows, kMaxPath);
    std::u16string path(windows, length);
    if (path.back() != u'\\') path += u'\\';
    return path + u"Inf\\" + name;
}

bool SelectBest(NetDevice& d, const char16_t* singleInf = nullptr) {
    if (singleInf != nullptr) {
        DevInstallParams params;
        if (!dev::GetDeviceInstallParams(d.set(), d.device(), &params)) return false;
        params.flags |= kDiEnumSingleInf;
        const std::u16string path = InfPath(singleInf);
        std::copy(path.begin(), path.end(), params.driverPath);
        if (!dev::SetDeviceInstallParams(d.set(), d.device(), &params)) return false;
    }
    return dev::BuildDriverInfoList(d.set(), d.device(), kSpditCompatDriver) &&
           dev::CallClassInstaller(kDifSelectBestCompatDrv, d.set(), d.device());
}

// Selects the best driver for the device and installs it through the class installer.
void Install(NetDevice& d) {
    ASSERT_TRUE(SelectBest(d));
    ASSERT_TRUE(dev::CallClassInstaller(kDifInstallDevice, d.set(), d.device()));
}

// The newdev export by name from a freshly loaded library (unloaded again by the caller).
struct Newdev {
    Newdev() : module(newdev::LoadLibrary(u"newdev.dll")) {}
    ~Newdev() {
        if (module) newdev::FreeLibrary(module);
    }
    void* Export(const char* name) const { return newdev::GetProcAddress(module, name); }
    HModule module;
};

TEST(DriverList, BestCompatibleDriverComesFromTheMatchingInf) {
    TempMachine machine;
    NetDevice team;
    DrvInfoData driver;
    const auto expectNoSelection = [&] {
        EXPECT_FALSE(dev::GetSelectedDriver(team.set(), team.device(), &driver));
        EXPECT_EQ(GetLastError(), kErrorNoDriverSelected);
    };
    expectNoSelection();
    ASSERT_TRUE(SelectBest(team)) << GetLastError();
    ASSERT_TRUE(dev::GetSelectedDriver(team.set(), team.device(), &driver));
    EXPECT_EQ(std::u16string(driver.description), u"Quorvex n5 Teaming Virtual Adapter");
    EXPECT_EQ(std::u16string(driver.mfgName), u"Quorvex");
    EXPECT_EQ(std::u16string(driver.providerName), u"Quorvex");
    EXPECT_EQ(driver.driverType, kSpditCompatDriver);
    EXPECT_EQ(driver.driverVersion, 0x0002000000010005ull);
    EXPECT_EQ(driver.driverDate, 128499264000000000ull);  // 2008-03-14 00:00 as a FILETIME
    // Destroying the list takes the selection with it.
    ASSERT_TRUE(dev::DestroyDriverInfoList(team.set(), team.device(), kSpditCompatDriver));
    expectNoSelection();

    // Only the INF named, with DI_ENUMSINGLEINF; ids no INF has find nothing.
    const struct {
        const char16_t* hardwareId;
        const char16_t* inf;
    } unmatched[] = {{u"QV_QVTEAMMP", u"oem0.inf"}, {u"QV_NOSUCHID", nullptr}};
    for (const auto& u : unmatched) {
        NetDevice device(true, u.hardwareId);
        EXPECT_FALSE(SelectBest(device, u.inf));
        EXPECT_EQ(GetLastError(), kErrorNoCompatDrivers);
    }
    NetDevice single;
    EXPECT_TRUE(SelectBest(single, u"oem1.inf"));
    EXPECT_FALSE(dev::BuildDriverInfoList(team.set(), team.device(), 7));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

TEST(DriverInstall, InstallSelectedDriverWritesTheAdapterAsTheInventoryDoes) {
    TempMachine machine;
    NetDevice team;
    ASSERT_TRUE(dev::SetSelectedDevice(team.set(), team.device()));
    ASSERT_TRUE(SelectBest(team, u"oem1.inf"));
    Newdev library;
    void* install = library.Export("InstallSelectedDriver");
    ASSERT_NE(install, nullptr);
    uint32_t reboot = 99;
    ASSERT_TRUE(newdev::CallInstallSelectedDriver(install, nullptr, team.set(), nullptr, false, &reboot))
        << GetLastError();
    EXPECT_EQ(reboot, 0u);

    const auto device = sim::ReadDevice(team.id());
    ASSERT_TRUE(device);
    EXPECT_EQ(device->driverKey, kNetClass + u"\\0005");  // the inventory's adapters hold 0000 to 0004
    EXPECT_EQ(device->service, u"qvteamm");
    EXPECT_EQ(device->description, u"Quorvex n5 Teaming Virtual Adapter");
    EXPECT_EQ(device->classGuid, kNetClass);
    EXPECT_EQ(device->connectionName, u"Local Area Connection 6");
    Guid guid{};
    ASSERT_TRUE(GuidFromString(device->netCfgInstanceId, &guid));
    EXPECT_EQ(sim::FindDeviceByNetCfgInstanceId(device->netCfgInstanceId), team.id());
    const auto& values = device->driverValues;
    EXPECT_EQ(values.String(u"ProviderName"), u"Quorvex");
    EXPECT_EQ(values.String(u"DriverDesc"), u"Quorvex n5 Teaming Virtual Adapter");
    EXPECT_EQ(values.String(u"DriverDate"), u"3-14-2008");
    EXPECT_EQ(values.String(u"DriverVersion"), u"2.0.1.5");
    EXPECT_EQ(values.String(u"ComponentId"), u"qv_qvteammp");
    EXPECT_EQ(values.Dword(u"Characteristics"), 1u);
    // The miniport started and wrote its address at once (the default).
    const auto address = values.String(u"NetworkAddress");
    ASSERT_TRUE(address);
    EXPECT_EQ(*address, sim::MiniportAddress(guid));
    EXPECT_EQ(address->size(), 12u);
    EXPECT_EQ(address->substr(0, 2), u"02");

    // Opened through the port, the driver key is the one written.
    HKey key = dev::OpenDevRegKey(team.set(), team.device(), kDicsFlagGlobal, 0, kDiregDrv, kKeyRead);
    ASSERT_NE(key, kInvalidHKey);
    reg::CloseKey(key);
}

TEST(DriverInstall, EachNewdevExportWorksFailsOrIsMissingAsTheMachineSays) {
    const struct {
        const char* name;
        std::u16string_view hostValue;
    } exports[] = {
        {"DiInstallDevice", sim::kHostNewdevDiInstallDevice},
        {"InstallSelectedDriver", sim::kHostNewdevInstallSelectedDriver},
        {"UpdateDriverForPlugAndPlayDevicesW", sim::kHostNewdevUpdateDriver},
    };
    for (const auto& e : exports) {
        for (const uint32_t state : {sim::kExportWorks, sim::kExportFails, sim::kExportMissing}) {
            SCOPED_TRACE(std::string(e.name) + " state " + std::to_string(state));
            TempMachine machine;
            ASSERT_TRUE(sim::WriteHostValue(e.hostValue, state));
            ASSERT_TRUE(sim::WriteHostValue(sim::kHostRebootRequest, sim::kRebootReboot));
            NetDevice team;
            Newdev library;
            void* address = library.Export(e.name);
            if (state == sim::kExportMissing) {
                EXPECT_EQ(address, nullptr);
                EXPECT_EQ(GetLastError(), kErrorProcNotFound);
                continue;
            }
            ASSERT_NE(address, nullptr);
            bool ok = false, reboot = false;
            uint32_t rebootFlags = 0;
            if (e.name == std::string("DiInstallDevice")) {
                ok = newdev::CallDiInstallDevice(address, nullptr, team.set(), team.device(), nullptr, 0,
                                                 &reboot);
            } else if (e.name == std::string("InstallSelectedDriver")) {
                ASSERT_TRUE(dev::SetSelectedDevice(team.set(), team.device()));
                ASSERT_TRUE(SelectBest(team));
                ok = newdev::CallInstallSelectedDriver(address, nullptr, team.set(), nullptr, false,
                                                       &rebootFlags);
                reboot = rebootFlags == kDiNeedReboot;
            } else {
                ok = newdev::CallUpdateDriverForPlugAndPlayDevices(address, nullptr, u"QV_QVTEAMMP",
                                                                   InfPath(u"oem1.inf").c_str(),
                                                                   kInstallFlagForce, &reboot);
            }
            const auto device = sim::ReadDevice(team.id());
            ASSERT_TRUE(device);
            if (state == sim::kExportFails) {
                EXPECT_FALSE(ok);
                EXPECT_EQ(GetLastError(), kErrorGenFailure);
                EXPECT_TRUE(device->driverKey.empty());
            } else {
                EXPECT_TRUE(ok) << GetLastError();
                EXPECT_TRUE(reboot);
                EXPECT_EQ(device->driverKey, kNetClass + u"\\0005");
            }
        }
    }
}

TEST(DriverInstall, LibraryLoadsByNameUnlessTheMachineHasNone) {
    TempMachine machine;
    HModule module = newdev::LoadLibrary(u"C:\\WINDOWS\\system32\\NEWDEV.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(newdev::GetProcAddress(module, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorProcNotFound);
    EXPECT_TRUE(newdev::FreeLibrary(module));
    EXPECT_FALSE(newdev::FreeLibrary(module));
    EXPECT_EQ(newdev::GetProcAddress(module, "DiInstallDevice"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_EQ(newdev::LoadLibrary(u"setupapi.dll"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorModNotFound);
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevLibrary, 0));
    EXPECT_EQ(newdev::LoadLibrary(u"newdev.dll"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorModNotFound);
}

TEST(DriverInstall, UpdateDriverInstallsEveryDeviceWithTheIdAndRemovalTakesItAllAway) {
    TempMachine machine;
    const std::string before = qv::testing::ExportRegistry();
    {
        NetDevice first, second;
        Newdev library;
        const auto update = [address = library.Export("UpdateDriverForPlugAndPlayDevicesW"),
                             inf = InfPath(u"oem1.inf")](const char16_t* id, bool* reboot) {
            return newdev::CallUpdateDriverForPlugAndPlayDevices(address, nullptr, id, inf.c_str(), 0,
                                                                 reboot);
        };
        bool reboot = true;
        ASSERT_TRUE(update(u"qv_qvteammp", &reboot));
        EXPECT_FALSE(reboot);
        const auto a = sim::ReadDevice(first.id()), b = sim::ReadDevice(second.id());
        EXPECT_EQ(a->connectionName, u"Local Area Connection 6");
        EXPECT_EQ(b->connectionName, u"Local Area Connection 7");
        EXPECT_NE(a->netCfgInstanceId, b->netCfgInstanceId);
        // Without INSTALLFLAG_FORCE nothing is better than what they have.
        EXPECT_FALSE(update(u"QV_QVTEAMMP", nullptr));
        EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
        EXPECT_FALSE(update(u"QV_NOSUCHID", nullptr));
        EXPECT_EQ(GetLastError(), kErrorNoCompatDrivers);

        // Network configuration entries of the adapter go with it; others stay.
        const std::u16string paths = u"SOFTWARE\\QvSim\\NetCfg\\BindingPaths\\";
        const std::u16string components = u"SOFTWARE\\QvSim\\NetCfg\\Components\\";
        const std::pair<std::u16string, sim::RegValue> entries[] = {
            {paths + u"0100", sim::RegValue::String(u"Token", u"ms_tcpip->" + a->netCfgInstanceId)},
            {paths + u"0101", sim::RegValue::String(u"Token", u"ms_tcpip->" + b->netCfgInstanceId)},
            {components + a->netCfgInstanceId, sim::RegValue::Dword(u"Characteristics", 1)}};
        for (const auto& [path, value] : entries)
            ASSERT_EQ(sim::WriteKeyValues(path, {{value}}), kErrorSuccess);
        ASSERT_TRUE(dev::CallClassInstaller(kDifRemove, first.set(), first.device()));
        EXPECT_FALSE(qv::testing::KeyExists(paths + u"0100"));
        EXPECT_FALSE(qv::testing::KeyExists(components + a->netCfgInstanceId));
        EXPECT_TRUE(qv::testing::KeyExists(paths + u"0101"));
        EXPECT_FALSE(sim::FindDeviceByNetCfgInstanceId(a->netCfgInstanceId));
        EXPECT_FALSE(sim::FindDeviceByConnectionName(u"Local Area Connection 6"));
        ASSERT_EQ(reg::DeleteKey(kHkeyLocalMachine, (paths + u"0101").c_str()), kErrorSuccess);
        ASSERT_TRUE(dev::RemoveDevice(second.set(), second.device()));
    }
    EXPECT_EQ(qv::testing::ExportRegistry(), before);
}

TEST(DriverInstall, ReinstallKeepsTheIdentityAndTheDriverKeysOtherValues) {
    TempMachine machine;
    NetDevice team;
    Install(team);
    const auto first = sim::ReadDevice(team.id());
    HKey key = dev::OpenDevRegKey(team.set(), team.device(), kDicsFlagGlobal, 0, kDiregDrv, kKeyAllAccess);
    ASSERT_EQ(reg::SetValueEx(key, u"VlanID", kRegDword, qv::testing::DwordBytes(5).data(), 4),
              kErrorSuccess);
    reg::CloseKey(key);
    ASSERT_TRUE(dev::CallClassInstaller(kDifInstallDevice, team.set(), team.device()));
    const auto second = sim::ReadDevice(team.id());
    EXPECT_EQ(second->driverKey, first->driverKey);
    EXPECT_EQ(second->netCfgInstanceId, first->netCfgInstanceId);
    EXPECT_EQ(second->connectionName, first->connectionName);
    EXPECT_EQ(second->driverValues.Dword(u"VlanID"), 5u);
}

// The miniport's delayed address write, on virtual time.
class MiniportAddress : public ::testing::Test {
  protected:
    void SetUp() override { sim::UseVirtualClock(true); }
    void TearDown() override { sim::UseVirtualClock(false); }

    std::optional<std::u16string> Address(NetDevice& d) {
        const auto device = sim::ReadDevice(d.id());
        return device ? device->driverValues.String(u"NetworkAddress") : std::nullopt;
    }
    bool Change(NetDevice& d, uint32_t stateChange) {
        PropChangeParams params;
        params.stateChange = stateChange;
        params.scope = kDicsFlagGlobal;
        return dev::SetClassInstallParams(d.set(), d.device(), &params.header, sizeof params) &&
               dev::ChangeState(d.set(), d.device());
    }
    TempMachine machine_;
};

TEST_F(MiniportAddress, WrittenWhenASleepPassesTheDelay) {
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostMiniportAddressDelay, 5000));
    NetDevice team;
    Install(team);
    EXPECT_FALSE(Address(team));
    EXPECT_EQ(sim::PendingDriverActions(), 1u);
    clk::Sleep(4000);
    EXPECT_FALSE(Address(team));
    clk::Sleep(1000);
    EXPECT_TRUE(Address(team));
    EXPECT_EQ(sim::PendingDriverActions(), 0u);

    // A restart writes it again after the delay; disabling cancels the write.
    HKey key = dev::OpenDevRegKey(team.set(), team.device(), kDicsFlagGlobal, 0, kDiregDrv, kKeyAllAccess);
    ASSERT_EQ(reg::DeleteValue(key, u"NetworkAddress"), kErrorSuccess);
    reg::CloseKey(key);
    for (const uint32_t change : {kDicsDisable, kDicsEnable, kDicsDisable}) ASSERT_TRUE(Change(team, change));
    clk::Sleep(10000);
    EXPECT_FALSE(Address(team));
    ASSERT_TRUE(Change(team, kDicsEnable));
    clk::Sleep(10000);
    EXPECT_TRUE(Address(team));
}

TEST_F(MiniportAddress, NeverWrittenWhenSuppressedAndOnlyByTheMiniport) {
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostMiniportAddressDelay, sim::kMiniportAddressNever));
    NetDevice team;
    Install(team);
    clk::Sleep(60000);
    EXPECT_FALSE(Address(team));
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostMiniportAddressDelay, 0));
    ASSERT_TRUE(Change(team, kDicsPropChange));
    EXPECT_TRUE(Address(team));
    // Another hardware id installed from the same driver is not the miniport.
    NetDevice other(true, u"QV_OTHER");
    ASSERT_TRUE(dev::SetDeviceRegistryProperty(other.set(), other.device(), kSpdrpCompatibleIds,
                                               qv::testing::MultiSz(u"QV_QVTEAMMP").data(), 26));
    Install(other);
    EXPECT_FALSE(Address(other));
}

}  // namespace
}  // namespace qv
