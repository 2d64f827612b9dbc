// Creating, installing and removing virtual adapters on a simulated machine: the newdev fallback
// order, the undo of every failing step and the fixed-size friendly name.
#include "qv/teamlib/install.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "install_support.h"
#include "qv/platform/newdev.h"
#include "qv/platform/scoped_handle.h"
#include "qv/sim/device_database.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv {
namespace {

using testing::kMiniportInf;
using testing::NewdevAnswers;
using testing::RegistryText;

constexpr uint32_t W = sim::kExportWorks;
constexpr uint32_t F = sim::kExportFails;
constexpr uint32_t M = sim::kExportMissing;

// A System-class INF that also offers the miniport's hardware id: a device installed from it has no
// NetCfgInstanceId.
constexpr char kSystemClassInf[] = R"([Version]
Signature = "$Windows NT$"
Class     = System
ClassGUID = {4D36E97D-E325-11CE-BFC1-08002BE10318}
Provider  = Quorvex
DriverVer = 03/14/2008,2.0.1.5
[Manufacturer]
Quorvex = Quorvex, NTx86, NTamd64
[Quorvex.NTx86]
"Not a network adapter" = Sys.ndi, QV_QVTEAMMP
[Quorvex.NTamd64]
"Not a network adapter" = Sys.ndi, QV_QVTEAMMP
[Sys.ndi]
AddReg = Sys.reg
[Sys.reg]
HKR, Ndi, Service, 0, "qvsys"
)";

struct Installed {
    int result = -1;
    Guid guid{};
    std::u16string name;
};

Installed Install(const std::u16string& name, const char16_t* inf = kMiniportInf,
                  const char16_t* hardwareId = kMiniportHardwareId) {
    char16_t buffer[kInstallNameCapacity] = {};
    U16CopyInto(buffer, kInstallNameCapacity, name);
    Installed out;
    out.result = cmdInstall(hardwareId, inf, buffer, &out.guid);
    out.name = buffer;
    return out;
}

class InstallTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    testing::TempMachine machine_;
};

TEST_F(InstallTest, SuccessGivesTheAdaptersGuidAndTheNameAsReadBack) {
    const Installed team = Install(u"Team0");
    ASSERT_EQ(team.result, QV_INSTALL_OK);
    EXPECT_EQ(team.name, u"Team0");
    const auto instance = sim::FindDeviceByNetCfgInstanceId(GuidToString(team.guid));
    ASSERT_TRUE(instance);
    EXPECT_EQ(*instance, u"ROOT\\NET\\0000");
    const auto record = sim::ReadDevice(*instance);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->friendlyName, u"Team0");
    EXPECT_EQ(record->hardwareIds, std::vector<std::u16string>{u"QV_QVTEAMMP"});
    EXPECT_EQ(record->driverValues.String(u"ProviderName"), u"Quorvex");
    // A second adapter is a device of its own.
    const Installed second = Install(u"Team1");
    ASSERT_EQ(second.result, QV_INSTALL_OK);
    EXPECT_NE(second.guid, team.guid);
    EXPECT_EQ(sim::FindDeviceByNetCfgInstanceId(GuidToString(second.guid)), u"ROOT\\NET\\0001");
}

TEST_F(InstallTest, FriendlyNameIsWrittenWithItsFixedSize) {
    const std::u16string long200(200, u'x');
    const struct {
        const char* what;
        std::u16string given;
        std::u16string expected;
    } cases[] = {
        {"short", u"Team0", u"Team0"},
        {"127 characters", long200.substr(0, 127), long200.substr(0, 127)},
        {"128 characters", long200.substr(0, 128), long200.substr(0, 127)},
        {"200 characters", long200, long200.substr(0, 127)},
        {"none: the description", u"", u"Quorvex n5 Teaming Virtual Adapter"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempMachine machine;
        const Installed team = Install(c.given);
        ASSERT_EQ(team.result, QV_INSTALL_OK);
        EXPECT_EQ(team.name, c.expected);
        const auto path = u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NET\\0000";
        const auto stored = testing::ReadValueBytes(path, u"FriendlyName");
        if (c.given.empty()) {
            EXPECT_FALSE(stored);
        } else {
            ASSERT_TRUE(stored);
            EXPECT_EQ(stored->size(), 256u);
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(stored->data())), c.expected);
        }
    }
}

TEST_F(InstallTest, NewdevExportsAreTriedInTheirOrder) {
    const struct {
        const char* what;
        uint32_t major, minor;
        NewdevAnswers newdev;
        int expected;
    } cases[] = {
        {"5.2: InstallSelectedDriver alone", 5, 2, {W, F, F}, QV_INSTALL_OK},
        {"5.1: InstallSelectedDriver alone", 5, 1, {W, M, M}, QV_INSTALL_OK},
        {"5.2: DiInstallDevice after it", 5, 2, {F, W, F}, QV_INSTALL_OK},
        {"5.2: UpdateDriver after both", 5, 2, {F, F, W}, QV_INSTALL_OK},
        {"5.2: UpdateDriver with the others missing", 5, 2, {M, M, W}, QV_INSTALL_OK},
        {"5.2: everything fails", 5, 2, {F, F, F}, QV_INSTALL_FAILED},
        {"5.2: everything missing", 5, 2, {M, M, M}, QV_INSTALL_FAILED},
        {"6.0: InstallSelectedDriver not tried", 6, 0, {W, F, F}, QV_INSTALL_FAILED},
        {"6.0: DiInstallDevice", 6, 0, {W, W, F}, QV_INSTALL_OK},
        {"6.1: UpdateDriver", 6, 1, {W, M, W}, QV_INSTALL_OK},
        {"4.0: InstallSelectedDriver not tried", 4, 0, {W, M, M}, QV_INSTALL_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempMachine machine;
        ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", c.major));
        ASSERT_TRUE(sim::WriteHostValue(u"OsMinor", c.minor));
        testing::SetNewdev(c.newdev);
        const std::string before = RegistryText();
        const Installed team = Install(u"Team0");
        EXPECT_EQ(team.result, c.expected);
        if (c.expected == QV_INSTALL_OK) {
            EXPECT_TRUE(sim::FindDeviceByNetCfgInstanceId(GuidToString(team.guid)));
        } else {
            EXPECT_EQ(RegistryText(), before);
        }
    }
}

TEST_F(InstallTest, EveryFailingStepLeavesNothingBehind) {
    const struct {
        const char* what;
        bool newdevLibrary;
        std::u16string inf;
        std::u16string hardwareId;
    } cases[] = {
        {"no newdev.dll", false, kMiniportInf, kMiniportHardwareId},
        {"no such INF", true, u"C:\\WINDOWS\\Inf\\oem7.inf", kMiniportHardwareId},
        {"INF outside the machine", true, u"D:\\drivers\\oem1.inf", kMiniportHardwareId},
        {"INF path too long", true, u"C:\\WINDOWS\\Inf\\" + std::u16string(300, u'a') + u".inf",
         kMiniportHardwareId},
        {"no driver for the id", true, kMiniportInf, u"QV_NOSUCHID"},
        {"no NetCfgInstanceId", true, u"C:\\WINDOWS\\Inf\\oem8.inf", kMiniportHardwareId},
    };
    {
        std::ofstream out(machine_.dir() / "Windows" / "Inf" / "oem8.inf", std::ios::binary);
        out << kSystemClassInf;
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevLibrary, c.newdevLibrary ? 1 : 0));
        const std::string before = RegistryText();
        const Installed team = Install(u"Team0", c.inf.c_str(), c.hardwareId.c_str());
        EXPECT_EQ(team.result, QV_INSTALL_FAILED);
        EXPECT_EQ(team.guid, Guid{});
        EXPECT_EQ(RegistryText(), before);
    }
}

TEST_F(InstallTest, InstallSelectedDriverPathWantsTheOneInfAndAShortPath) {
    const struct {
        const char* what;
        std::u16string inf;
        int expected;
    } cases[] = {
        {"the miniport's INF", kMiniportInf, 1},
        {"another vendor's INF", u"C:\\WINDOWS\\Inf\\oem0.inf", 0},
        {"a path of 260 units", u"C:\\" + std::u16string(257, u'a'), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempMachine machine;
        const ScopedDevInfo set(dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr));
        DevInfoData device;
        ASSERT_TRUE(dev::CreateDeviceInfo(set.get(), u"Net", kGuidDevClassNet, nullptr, nullptr,
                                          kDicdGenerateId | kDicdInheritClassdrvs, &device));
        const char16_t ids[] = u"QV_QVTEAMMP\0";
        ASSERT_TRUE(dev::SetDeviceRegistryProperty(set.get(), &device, kSpdrpHardwareId,
                                                   reinterpret_cast<const uint8_t*>(ids), sizeof(ids)));
        ASSERT_TRUE(dev::CallClassInstaller(kDifRegisterDevice, set.get(), &device));
        HModule library = newdev::LoadLibrary(u"newdev.dll");
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(InstallSelectedDriverForWinXPS03(kMiniportHardwareId, c.inf.c_str(), set.get(), &device,
                                                   newdev::GetProcAddress(library, "InstallSelectedDriver")),
                  c.expected);
        newdev::FreeLibrary(library);
        // The driver list never outlives the call.
        DrvInfoData driver;
        EXPECT_FALSE(dev::GetSelectedDriver(set.get(), &device, &driver));
        const auto record = sim::ReadDevice(u"ROOT\\NET\\0000");
        ASSERT_TRUE(record);
        EXPECT_EQ(record->driverKey.empty(), c.expected == 0);
    }
}

TEST_F(InstallTest, RemoveTeamDetailsTakesTheAdapterAway) {
    const std::string before = RegistryText();
    const Installed team = Install(u"Team0");
    ASSERT_EQ(team.result, QV_INSTALL_OK);
    const ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    DevInfoData device;
    bool found = false;
    for (uint32_t i = 0; !found && dev::EnumDeviceInfo(set.get(), i, &device); ++i) {
        char16_t id[kMaxDeviceIdLength] = {};
        found = dev::GetDeviceId(device.devInst, id, kMaxDeviceIdLength, 0) == kCrSuccess &&
                std::u16string_view(id) == u"ROOT\\NET\\0000";
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(RemoveTeamDetails(set.get(), &device), 1);
    EXPECT_EQ(RegistryText(), before);
    EXPECT_EQ(RemoveTeamDetails(set.get(), &device), 0);
}

}  // namespace
}  // namespace qv
