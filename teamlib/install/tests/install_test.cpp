// Creating, installing and removing virtual adapters on a simulated machine: the newdev fallback
// order, the undo of every failing step and the fixed-size friendly name.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "install_support.h"
#include "qv/platform/scoped_handle.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using testing::Install;
using testing::RegistryText;

constexpr uint32_t W = sim::kExportWorks, F = sim::kExportFails, M = sim::kExportMissing;

// A System-class INF offering the miniport's id: a device installed from it has no NetCfgInstanceId.
constexpr char kSystemClassInf[] =
    "[Version]\nSignature=\"$Windows NT$\"\nClass=System\n"
    "ClassGUID={4D36E97D-E325-11CE-BFC1-08002BE10318}\nProvider=Quorvex\n"
    "[Manufacturer]\nQuorvex=Quorvex,NTx86,NTamd64\n[Quorvex.NTx86]\n"
    "Sys=Sys.ndi,QV_QVTEAMMP\n[Quorvex.NTamd64]\nSys=Sys.ndi,QV_QVTEAMMP\n"
    "[Sys.ndi]\n";

class InstallTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    testing::TempMachine machine_;
};

TEST_F(InstallTest, SuccessGivesTheGuidAndTheFriendlyNameAsStored) {
    const std::u16string x200(200, u'x');
    const struct {
        std::u16string given, expected;
    } cases[] = {
        {u"Team0", u"Team0"},
        {x200.substr(0, 127), x200.substr(0, 127)},
        {x200, x200.substr(0, 127)},
        {u"", u"Quorvex n5 Teaming Virtual Adapter"},  // no name: the description
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.given));
        testing::TempMachine machine;
        const auto team = Install(c.given);
        ASSERT_EQ(team.result, QV_INSTALL_OK);
        EXPECT_EQ(team.name, c.expected);
        EXPECT_EQ(sim::FindDeviceByNetCfgInstanceId(GuidToString(team.guid)), u"ROOT\\NET\\0000");
        EXPECT_EQ(sim::ReadDevice(u"ROOT\\NET\\0000")->hardwareIds,
                  std::vector<std::u16string>{u"QV_QVTEAMMP"});
        const auto stored = testing::ReadValueBytes(sim::DeviceNodePath(u"ROOT\\NET\\0000"), u"FriendlyName");
        // Stored with its own length (the name and a terminator), never padded.
        EXPECT_EQ(stored ? stored->size() : 0u, c.given.empty() ? 0u : (c.expected.size() + 1) * 2);
    }
}

TEST_F(InstallTest, NewdevExportsAreTriedInTheirOrder) {
    const struct {
        uint32_t major, minor;
        uint32_t installSelected, diInstall, update;
        int expected;
    } cases[] = {
        {5, 2, W, F, F, QV_INSTALL_OK},     {5, 1, W, M, M, QV_INSTALL_OK},
        {5, 2, F, W, F, QV_INSTALL_OK},     {5, 2, F, F, W, QV_INSTALL_OK},
        {5, 2, M, M, W, QV_INSTALL_OK},     {5, 2, F, F, F, QV_INSTALL_FAILED},
        {5, 2, M, M, M, QV_INSTALL_FAILED}, {6, 0, W, F, F, QV_INSTALL_FAILED},
        {6, 0, W, W, F, QV_INSTALL_OK},     {6, 1, W, M, W, QV_INSTALL_OK},
        {4, 0, W, M, M, QV_INSTALL_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.major << "." << c.minor << " newdev " << c.installSelected
                                          << c.diInstall << c.update);
        testing::TempMachine machine;
        ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", c.major) && sim::WriteHostValue(u"OsMinor", c.minor) &&
                    sim::WriteHostValue(sim::kHostNewdevInstallSelectedDriver, c.installSelected) &&
                    sim::WriteHostValue(sim::kHostNewdevDiInstallDevice, c.diInstall) &&
                    sim::WriteHostValue(sim::kHostNewdevUpdateDriver, c.update));
        const std::string before = RegistryText();
        const auto team = Install(u"Team0");
        EXPECT_EQ(team.result, c.expected);
        if (c.expected != QV_INSTALL_OK) {
            EXPECT_EQ(RegistryText(), before);
        }
    }
}

TEST_F(InstallTest, EveryFailingStepLeavesNothingBehind) {
    std::ofstream(machine_.dir() / "Windows" / "Inf" / "oem8.inf", std::ios::binary) << kSystemClassInf;
    const struct {
        const char* what;
        std::u16string inf, hardwareId;
        uint32_t newdevLibrary;
    } cases[] = {
        {"no newdev.dll", testing::kMiniportInf, kMiniportHardwareId, 0},
        {"no such INF", u"C:\\WINDOWS\\Inf\\oem7.inf", kMiniportHardwareId, 1},
        {"INF path too long", u"C:\\WINDOWS\\Inf\\" + std::u16string(300, u'a'), kMiniportHardwareId, 1},
        {"no driver for the id", testing::kMiniportInf, u"QV_NOSUCHID", 1},
        {"no NetCfgInstanceId", u"C:\\WINDOWS\\Inf\\oem8.inf", kMiniportHardwareId, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevLibrary, c.newdevLibrary));
        const std::string before = RegistryText();
        const auto team = Install(u"Team0", c.inf.c_str(), c.hardwareId.c_str());
        EXPECT_EQ(team.result, QV_INSTALL_FAILED);
        EXPECT_EQ(team.guid, Guid{});
        EXPECT_EQ(RegistryText(), before);
    }
}

TEST_F(InstallTest, RemoveTeamDetailsTakesTheAdapterAway) {
    const std::string before = RegistryText();
    ASSERT_EQ(Install(u"Team0").result, QV_INSTALL_OK);
    const ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    DevInfoData device;
    for (uint32_t i = 0; dev::EnumDeviceInfo(set.get(), i, &device); ++i) {
        if (IsVirtualNIC(device)) break;
    }
    EXPECT_EQ(RemoveTeamDetails(set.get(), &device), 1);
    EXPECT_EQ(RegistryText(), before);
    EXPECT_EQ(RemoveTeamDetails(set.get(), &device), 0);
}

}  // namespace
}  // namespace qv
