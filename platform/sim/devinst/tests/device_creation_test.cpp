// Creating, registering and removing devices, install and class-install parameters and state
// changes on the simulated host, through the device-installation port.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_install_support.h"
#include "qv/platform/deviceio.h"
#include "qv/platform/devinst.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::DeviceIdOf;
using qv::testing::DeviceIds;
using qv::testing::KeyExists;
using qv::testing::NetDevice;
using qv::testing::StringProperty;
using qv::testing::TempMachine;

TEST(DeviceCreation, GeneratedIdsTakeTheFirstFreeNumberAndBecomeNodesOnRegistration) {
    TempMachine machine;
    const auto before = qv::testing::ExportRegistry();
    {
        NetDevice first(false), second(false);
        EXPECT_EQ(first.id(), u"ROOT\\NET\\0000");
        EXPECT_EQ(second.id(), u"ROOT\\NET\\0001");  // 0000 is reserved by the first set
        // Its properties live in the set until then.
        EXPECT_EQ(StringProperty(first.set(), first.device(), kSpdrpHardwareId), u"QV_QVTEAMMP");
        EXPECT_EQ(StringProperty(first.set(), first.device(), kSpdrpClassGuid), kGuidDevClassNetText);
        EXPECT_EQ(StringProperty(first.set(), first.device(), kSpdrpClass), u"Net");
        EXPECT_EQ(dev::OpenDevRegKey(first.set(), first.device(), kDicsFlagGlobal, 0, kDiregDrv, kKeyRead),
                  kInvalidHKey);
        EXPECT_EQ(GetLastError(), kErrorDevinfoNotRegistered);

        ASSERT_TRUE(dev::CallClassInstaller(kDifRegisterDevice, second.set(), second.device()));
        const auto node = sim::ReadDevice(second.id());
        ASSERT_TRUE(node);
        EXPECT_EQ(node->hardwareIds, std::vector<std::u16string>{u"QV_QVTEAMMP"});
        EXPECT_EQ(node->classGuid, kGuidDevClassNetText);
        EXPECT_EQ(node->className, u"Net");
        EXPECT_TRUE(node->driverKey.empty());  // no driver yet
        EXPECT_EQ(StringProperty(second.set(), second.device(), kSpdrpDriver), u"?");
        EXPECT_EQ(GetLastError(), kErrorInvalidData);
        ASSERT_TRUE(dev::CallClassInstaller(kDifRemove, second.set(), second.device()));
        EXPECT_FALSE(KeyExists(second.NodePath()));
        EXPECT_FALSE(dev::CallClassInstaller(kDifRemove, second.set(), second.device()));
        EXPECT_EQ(GetLastError(), kErrorNoSuchDevinst);
    }
    // Sets destroyed without registering leave nothing; numbers are free again.
    EXPECT_EQ(qv::testing::ExportRegistry(), before);
    NetDevice again(false);
    EXPECT_EQ(again.id(), u"ROOT\\NET\\0000");
}

TEST(DeviceCreation, RefusesBadNamesClassesAndFlags) {
    TempMachine machine;
    HDevInfo netList = dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr);
    HDevInfo anyList = dev::CreateDeviceInfoList(nullptr, nullptr);
    DevInfoData device;
    const struct {
        HDevInfo set;
        const char16_t* name;
        Guid cls;
        uint32_t flags;
        Win32Error error;
    } cases[] = {
        {netList, u"Net\\X", kGuidDevClassNet, kDicdGenerateId, kErrorInvalidDevinstName},
        {netList, u"", kGuidDevClassNet, kDicdGenerateId, kErrorInvalidDevinstName},
        {netList, u"Net", kGuidDevClassSystem, kDicdGenerateId, kErrorClassMismatch},
        {netList, u"Net", kGuidDevClassNet, 0x100, kErrorInvalidFlags},
        {netList, u"ROOTONLY", kGuidDevClassNet, 0, kErrorInvalidDevinstName},
        {anyList, u"ROOT\\QVVBD\\0000", kGuidDevClassSystem, 0, kErrorDevinstAlreadyExists},
        {kInvalidDevInfo, u"Net", kGuidDevClassNet, kDicdGenerateId, kErrorInvalidHandle},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(dev::CreateDeviceInfo(c.set, c.name, c.cls, nullptr, nullptr, c.flags, &device));
        EXPECT_EQ(GetLastError(), c.error)
            << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
    }
    // A full instance id of its own is taken as it is; of any class in a list without one.
    ASSERT_TRUE(dev::CreateDeviceInfo(anyList, u"ROOT\\QVTEST\\0007", kGuidDevClassSystem, u"Test device",
                                      nullptr, 0, &device));
    EXPECT_EQ(DeviceIdOf(device.devInst), u"ROOT\\QVTEST\\0007");
    EXPECT_EQ(StringProperty(anyList, &device, kSpdrpDeviceDesc), u"Test device");
    EXPECT_FALSE(dev::CreateDeviceInfo(anyList, u"ROOT\\QVTEST\\0007", kGuidDevClassSystem, nullptr, nullptr,
                                       0, &device));
    EXPECT_EQ(GetLastError(), kErrorDevinstAlreadyExists);
    dev::DestroyDeviceInfoList(netList);
    dev::DestroyDeviceInfoList(anyList);
}

// Reading back what was set, and a record of the wrong size on Get, are held to SetupAPI's by the
// device-installation conformance suite.
TEST(InstallParams, KeptPerDeviceAndCheckedOnTheWayIn) {
    TempMachine machine;
    NetDevice one, two;
    DevInstallParams params;
    ASSERT_TRUE(dev::GetDeviceInstallParams(one.set(), one.device(), &params));
    EXPECT_EQ(params.flags, 0u);
    params.flags |= kDiEnumSingleInf;
    ASSERT_TRUE(dev::SetDeviceInstallParams(one.set(), one.device(), &params));

    DevInstallParams back;
    ASSERT_TRUE(dev::GetDeviceInstallParams(two.set(), two.device(), &back));
    EXPECT_EQ(back.flags, 0u);  // another device keeps its own
    ASSERT_TRUE(dev::GetDeviceInstallParams(one.set(), nullptr, &back));
    EXPECT_EQ(back.flags, 0u);  // and so does the set

    DevInstallParams bad = params;
    bad.cbSize = 8;
    EXPECT_FALSE(dev::SetDeviceInstallParams(one.set(), one.device(), &bad));
    EXPECT_EQ(GetLastError(), kErrorInvalidUserBuffer);
    bad = params;
    std::fill(std::begin(bad.driverPath), std::end(bad.driverPath), u'x');  // no terminator
    EXPECT_FALSE(dev::SetDeviceInstallParams(one.set(), one.device(), &bad));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);

    // Class-install parameters: the record's size must fit its function; setting them raises
    // DI_CLASSINSTALLPARAMS, clearing them drops it.
    PropChangeParams change;
    change.stateChange = kDicsDisable;
    change.scope = kDicsFlagGlobal;
    EXPECT_FALSE(dev::SetClassInstallParams(one.set(), one.device(), &change.header, sizeof change - 4));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    PropChangeParams badHeader = change;
    badHeader.header.cbSize = 12;
    EXPECT_FALSE(dev::SetClassInstallParams(one.set(), one.device(), &badHeader.header, sizeof badHeader));
    EXPECT_EQ(GetLastError(), kErrorInvalidUserBuffer);
    ASSERT_TRUE(dev::SetClassInstallParams(one.set(), one.device(), &change.header, sizeof change));
    ASSERT_TRUE(dev::GetDeviceInstallParams(one.set(), one.device(), &back));
    EXPECT_EQ(back.flags, kDiEnumSingleInf | kDiClassInstallParams);
    ASSERT_TRUE(dev::SetClassInstallParams(one.set(), one.device(), nullptr, 0));
    ASSERT_TRUE(dev::GetDeviceInstallParams(one.set(), one.device(), &back));
    EXPECT_EQ(back.flags, kDiEnumSingleInf);
    EXPECT_FALSE(dev::ChangeState(one.set(), one.device()));
    EXPECT_EQ(GetLastError(), kErrorNoClassinstallParams);
}

// A present device of the default machine in a class device set: its second adapter unless a test
// selects another.
class StateChange : public ::testing::Test {
  protected:
    void SetUp() override { Select(kGuidDevClassNet, nullptr, 1); }
    void TearDown() override { dev::DestroyDeviceInfoList(set_); }

    void Select(const Guid& cls, const char16_t* enumerator, uint32_t index) {
        dev::DestroyDeviceInfoList(set_);
        set_ = dev::GetClassDevs(&cls, enumerator, nullptr, kDigcfPresent);
        ASSERT_TRUE(dev::EnumDeviceInfo(set_, index, &device_));
        id_ = DeviceIdOf(device_.devInst);
    }

    bool Change(uint32_t stateChange, uint32_t scope, bool viaClassInstaller = false) {
        PropChangeParams params;
        params.stateChange = stateChange;
        params.scope = scope;
        if (!dev::SetClassInstallParams(set_, &device_, &params.header, sizeof params)) return false;
        return viaClassInstaller ? dev::CallClassInstaller(kDifPropertyChange, set_, &device_)
                                 : dev::ChangeState(set_, &device_);
    }
    uint32_t Disabled() const { return sim::ReadDeviceState(id_, sim::kStateDisabled).value_or(99); }

    TempMachine machine_;
    HDevInfo set_ = kInvalidDevInfo;
    DevInfoData device_;
    std::u16string id_;
};

TEST_F(StateChange, EachScopeEnablesOnlyWhatItDisabled) {
    // Steps in order: state change, scope, expected Disabled afterwards.
    const struct {
        uint32_t change, scope, disabled;
        bool viaClassInstaller;
    } steps[] = {
        {kDicsDisable, kDicsFlagGlobal, 1, false},
        {kDicsEnable, kDicsFlagConfigSpecific, 1, false},  // still disabled globally
        {kDicsEnable, kDicsFlagGlobal, 0, true},
        {kDicsDisable, kDicsFlagConfigSpecific, 1, true},
        {kDicsEnable, kDicsFlagGlobal, 1, false},  // still disabled in the profile
        {kDicsPropChange, kDicsFlagGlobal, 1, false},
        {kDicsEnable, kDicsFlagConfigSpecific, 0, false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        ASSERT_TRUE(Change(steps[i].change, steps[i].scope, steps[i].viaClassInstaller))
            << i << " " << GetLastError();
        EXPECT_EQ(Disabled(), steps[i].disabled) << "step " << i;
    }
    // A disabled device stays in present sets.
    ASSERT_TRUE(Change(kDicsDisable, kDicsFlagGlobal));
    EXPECT_EQ(DeviceIds(kGuidDevClassNet, nullptr, 0).size(), 5u);
    EXPECT_EQ(sim::ReadDevice(id_)->configFlags.value_or(0) & sim::kConfigFlagDisabled,
              sim::kConfigFlagDisabled);
}

TEST_F(StateChange, RefusedWithDoNotCallConfigMgAndBadParameters) {
    DevInstallParams params;
    ASSERT_TRUE(dev::GetDeviceInstallParams(set_, &device_, &params));
    params.flags |= kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(set_, &device_, &params));
    EXPECT_FALSE(Change(kDicsDisable, kDicsFlagGlobal));
    EXPECT_EQ(GetLastError(), kErrorInvalidFlags);
    EXPECT_EQ(Disabled(), 0u);
    params.flags &= ~kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(set_, &device_, &params));
    EXPECT_FALSE(Change(7, kDicsFlagGlobal));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_FALSE(Change(kDicsDisable, 4));
    EXPECT_EQ(GetLastError(), kErrorInvalidFlags);
    EXPECT_EQ(Disabled(), 0u);
}

TEST_F(StateChange, RebootRequestShowsInTheInstallParams) {
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostRebootRequest, sim::kRebootRestart));
    ASSERT_TRUE(Change(kDicsDisable, kDicsFlagGlobal));
    DevInstallParams params;
    ASSERT_TRUE(dev::GetDeviceInstallParams(set_, &device_, &params));
    EXPECT_EQ(params.flags & (kDiNeedRestart | kDiNeedReboot), kDiNeedRestart);
}

TEST_F(StateChange, DisabledBusDriverCannotBeOpened) {
    Select(kGuidDevClassSystem, u"ROOT", 0);
    ASSERT_EQ(id_, u"ROOT\\QVVBD\\0000");
    sim::BusDriverInterface bus;
    ASSERT_TRUE(sim::FindBusDriverInstance(0, &bus));
    for (const uint32_t change : {kDicsDisable, kDicsEnable}) {
        ASSERT_TRUE(Change(change, kDicsFlagConfigSpecific));
        HDevice open =
            io::CreateFileA(bus.symbolicLink.c_str(), kGenericRead | kGenericWrite, 0, kOpenExisting, 0);
        if (change == kDicsDisable) {
            EXPECT_EQ(open, kInvalidDevice);
            EXPECT_EQ(GetLastError(), kErrorFileNotFound);
        } else {
            ASSERT_NE(open, kInvalidDevice);
            io::CloseHandle(open);
        }
    }
}

TEST(DeviceRemoval, ConfigSpecificScopeOnlyTakesThePresence) {
    TempMachine machine;
    NetDevice device;
    const auto remove = [&device](uint32_t scope) {
        RemoveDeviceParams params;
        params.scope = scope;
        return dev::SetClassInstallParams(device.set(), device.device(), &params.header, sizeof params) &&
               dev::RemoveDevice(device.set(), device.device());
    };
    ASSERT_TRUE(remove(kDiRemoveDeviceConfigSpecific));
    EXPECT_TRUE(KeyExists(device.NodePath()));
    EXPECT_FALSE(sim::IsDevicePresent(device.id()));
    ASSERT_TRUE(remove(kDiRemoveDeviceGlobal));
    EXPECT_FALSE(KeyExists(device.NodePath()));
}

}  // namespace
}  // namespace qv
