// Device enumeration, properties, driver keys and instance ids on the default simulated machine.
#include "qv/platform/devinst.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device_install_support.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::DeviceIds;
using qv::testing::StringProperty;
using qv::testing::TempMachine;

const std::u16string kN5 = u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01\\";
const std::u16string kOtherVendor = u"PCI\\VEN_6E77&DEV_1000&SUBSYS_10006E77&REV_02\\4&1B6E7700&0&0028";

TEST(DeviceEnumeration, NetClassInRegistryOrderWithOtherVendorLast) {
    TempMachine machine;
    EXPECT_EQ(
        DeviceIds(kGuidDevClassNet),
        (std::vector<std::u16string>{kN5 + u"4&3A5A5A00&0&0000", kN5 + u"4&3A5A5A00&0&0010",
                                     kN5 + u"4&3A5A5A01&0&0000", kN5 + u"4&3A5A5A01&0&0010", kOtherVendor}));
}

TEST(DeviceEnumeration, FiltersByClassEnumeratorAndPresence) {
    TempMachine machine;
    EXPECT_EQ(DeviceIds(kGuidDevClassSystem),
              (std::vector<std::u16string>{u"ROOT\\QVVBD\\0000", u"ROOT\\QVVBD\\0001"}));
    EXPECT_TRUE(DeviceIds(kGuidDevClassNet, u"ROOT").empty());
    EXPECT_EQ(DeviceIds(kGuidDevClassNet, u"pci").size(), 5u);  // enumerator names ignore case
    EXPECT_TRUE(DeviceIds(kGuidDevClassNetTrans).empty());      // protocols are no device nodes

    // A device that is not present is left out of present sets only; a disabled one stays in.
    ASSERT_TRUE(sim::WriteDeviceState(kN5 + u"4&3A5A5A00&0&0010", sim::kStatePresent, 0));
    ASSERT_TRUE(sim::WriteDeviceState(kN5 + u"4&3A5A5A01&0&0000", sim::kStateDisabled, 1));
    EXPECT_EQ(DeviceIds(kGuidDevClassNet),
              (std::vector<std::u16string>{kN5 + u"4&3A5A5A00&0&0000", kN5 + u"4&3A5A5A01&0&0000",
                                           kN5 + u"4&3A5A5A01&0&0010", kOtherVendor}));
    EXPECT_EQ(DeviceIds(kGuidDevClassNet, nullptr, 0).size(), 5u);
    EXPECT_EQ(DeviceIds(kGuidDevClassNet, nullptr, kDigcfAllClasses).size(), 7u);
}

TEST(DeviceEnumeration, SetSnapshotsDevicesAndRejectsBadArguments) {
    TempMachine machine;
    HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent);
    ASSERT_NE(set, kInvalidDevInfo);
    // Devices hidden after the set was made are still in it, with stable numbers.
    ASSERT_TRUE(sim::WriteDeviceState(kN5 + u"4&3A5A5A00&0&0000", sim::kStatePresent, 0));
    DevInfoData first, again;
    ASSERT_TRUE(dev::EnumDeviceInfo(set, 0, &first));
    ASSERT_TRUE(dev::EnumDeviceInfo(set, 0, &again));
    EXPECT_EQ(first.devInst, again.devInst);
    EXPECT_TRUE(GuidEqual(first.classGuid, kGuidDevClassNet));
    ASSERT_TRUE(dev::EnumDeviceInfo(set, 4, &again));
    EXPECT_FALSE(dev::EnumDeviceInfo(set, 5, &again));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);

    DevInfoData wrongSize;
    wrongSize.cbSize = 4;
    EXPECT_FALSE(dev::EnumDeviceInfo(set, 0, &wrongSize));
    EXPECT_EQ(GetLastError(), kErrorInvalidUserBuffer);

    EXPECT_TRUE(dev::DestroyDeviceInfoList(set));
    EXPECT_EQ(dev::GetClassDevs(nullptr, nullptr, nullptr, kDigcfPresent), kInvalidDevInfo);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

class DeviceProperties : public ::testing::Test {
  protected:
    void SetUp() override {
        set_ = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent);
        ASSERT_NE(set_, kInvalidDevInfo);
        ASSERT_TRUE(dev::EnumDeviceInfo(set_, 1, &device_));
    }
    void TearDown() override { dev::DestroyDeviceInfoList(set_); }

    TempMachine machine_;
    HDevInfo set_ = kInvalidDevInfo;
    DevInfoData device_;
};

TEST_F(DeviceProperties, StringsComeFromTheDeviceNode) {
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpFriendlyName), u"Quorvex n5 Gigabit Server Adapter #2");
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpDeviceDesc), u"Quorvex n5 Gigabit Server Adapter");
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpService), u"qvn5");
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpDriver), u"{4D36E972-E325-11CE-BFC1-08002BE10318}\\0001");
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpClassGuid), u"{4D36E972-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpMfg), u"Quorvex");
}

TEST_F(DeviceProperties, BufferRulesAndMissingProperties) {
    const std::u16string name = u"Quorvex n5 Gigabit Server Adapter #2";
    const uint32_t size = static_cast<uint32_t>((name.size() + 1) * 2);
    uint32_t required = 0, type = 0;
    // Size query with no buffer, then one byte short: both insufficient, both report the size.
    EXPECT_FALSE(
        dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, &type, nullptr, 0, &required));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(required, size);
    std::vector<uint8_t> buffer(size + 8, 0xEE);
    required = 0;
    EXPECT_FALSE(dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, &type, buffer.data(),
                                                size - 1, &required));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(required, size);
    EXPECT_EQ(buffer[0], 0xEE);  // nothing copied on failure
    // Exact fit: the bytes, terminator included, and nothing beyond.
    ASSERT_TRUE(dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, &type, buffer.data(), size,
                                               &required));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(std::memcmp(buffer.data(), name.c_str(), size), 0);
    EXPECT_EQ(buffer[size], 0xEE);

    // HardwareID is a multi-string ending in two terminators.
    ASSERT_TRUE(
        dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpHardwareId, &type, nullptr, 0, &required) ||
        GetLastError() == kErrorInsufficientBuffer);
    std::vector<uint8_t> ids(required);
    ASSERT_TRUE(dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpHardwareId, &type, ids.data(), required,
                                               &required));
    EXPECT_EQ(type, kRegMultiSz);
    EXPECT_EQ(ids[required - 1], 0);
    EXPECT_EQ(ids[required - 3], 0);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(ids.data())),
              u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01");

    uint32_t state = 99;
    ASSERT_TRUE(dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpInstallState, &type,
                                               reinterpret_cast<uint8_t*>(&state), 4, &required));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(state, kInstallStateInstalled);

    // A property the device does not have.
    EXPECT_FALSE(dev::GetDeviceRegistryProperty(set_, &device_, 0x0D /* SPDRP_LOCATION_INFORMATION */, &type,
                                                buffer.data(), size, &required));
    EXPECT_EQ(GetLastError(), kErrorInvalidData);
}

TEST_F(DeviceProperties, SetWritesTheNodeWithExactSizeAndDeletes) {
    // Written with a fixed size larger than the text, as the programs do: read back byte for byte.
    std::vector<uint8_t> fixed(256, 0);
    const std::u16string name = u"Team0:Quorvex n5 Gigabit Server Adapter #2";
    std::memcpy(fixed.data(), name.c_str(), name.size() * 2);
    ASSERT_TRUE(dev::SetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, fixed.data(), 256));
    uint32_t required = 0, type = 0;
    EXPECT_FALSE(
        dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, &type, nullptr, 0, &required));
    EXPECT_EQ(required, 256u);
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpFriendlyName), name);

    ASSERT_TRUE(dev::SetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, nullptr, 0));
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpFriendlyName), u"?");
    EXPECT_EQ(GetLastError(), kErrorInvalidData);

    EXPECT_FALSE(dev::SetDeviceRegistryProperty(set_, &device_, kSpdrpDriver, fixed.data(), 4));
    EXPECT_EQ(GetLastError(), kErrorInvalidRegProperty);
    EXPECT_EQ(StringProperty(set_, &device_, kSpdrpDriver), u"{4D36E972-E325-11CE-BFC1-08002BE10318}\\0001");
}

TEST_F(DeviceProperties, DriverKeyOpensTheClassKeyOfTheDevice) {
    sim::RegKey key(dev::OpenDevRegKey(set_, &device_, kDicsFlagGlobal, 0, kDiregDrv, kKeyAllAccess));
    ASSERT_TRUE(key.valid());
    EXPECT_EQ(key.ReadString(u"NetCfgInstanceId"), u"{5A5A0005-0000-4000-8000-000000000002}");
    // Opened with write access: a value written through it is visible on the next open.
    const char16_t mac[] = u"025A5A000001";
    EXPECT_EQ(
        reg::SetValueEx(key.get(), u"NetworkAddress", kRegSz, reinterpret_cast<const uint8_t*>(mac), 24),
        kErrorSuccess);
    key = sim::RegKey(dev::OpenDevRegKey(set_, &device_, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead));
    ASSERT_TRUE(key.valid());
    EXPECT_EQ(key.ReadString(u"NetworkAddress"), u"025A5A000001");

    // No Device Parameters key on these nodes; bad flags are refused.
    EXPECT_EQ(dev::OpenDevRegKey(set_, &device_, kDicsFlagGlobal, 0, kDiregDev, kKeyRead), kInvalidHKey);
    EXPECT_EQ(GetLastError(), kErrorKeyDoesNotExist);
    EXPECT_EQ(dev::OpenDevRegKey(set_, &device_, 7, 0, kDiregDrv, kKeyRead), kInvalidHKey);
    EXPECT_EQ(GetLastError(), kErrorInvalidFlags);
}

TEST_F(DeviceProperties, DriverKeyMissingOrDeviceGone) {
    // A device without a Driver value has no driver key.
    ASSERT_TRUE(dev::SetDeviceRegistryProperty(set_, &device_, kSpdrpFriendlyName, nullptr, 0));
    const std::u16string id = kN5 + u"4&3A5A5A00&0&0010";
    {
        sim::RegKey node;
        ASSERT_EQ(sim::RegKey::Open(sim::DeviceNodePath(id), kKeyAllAccess, &node), kErrorSuccess);
        ASSERT_EQ(reg::DeleteValue(node.get(), u"Driver"), kErrorSuccess);
    }
    EXPECT_EQ(dev::OpenDevRegKey(set_, &device_, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead), kInvalidHKey);
    EXPECT_EQ(GetLastError(), kErrorKeyDoesNotExist);

    // A device removed from the database after the set was made.
    ASSERT_EQ(sim::RemoveDevice(id), kErrorSuccess);
    uint8_t buffer[64];
    EXPECT_FALSE(
        dev::GetDeviceRegistryProperty(set_, &device_, kSpdrpDeviceDesc, nullptr, buffer, 64, nullptr));
    EXPECT_EQ(GetLastError(), kErrorNoSuchDevinst);
    EXPECT_EQ(dev::OpenDevRegKey(set_, &device_, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead), kInvalidHKey);
    EXPECT_EQ(GetLastError(), kErrorNoSuchDevinst);

    // A device of another set is not a member of this one.
    DevInfoData foreign = device_;
    foreign.devInst = 0x7FFF;
    EXPECT_EQ(dev::OpenDevRegKey(set_, &foreign, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead), kInvalidHKey);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

TEST(DeviceInstanceId, BufferMustHoldIdAndTerminator) {
    TempMachine machine;
    HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent);
    DevInfoData device;
    ASSERT_TRUE(dev::EnumDeviceInfo(set, 4, &device));
    const std::u16string& id = kOtherVendor;
    std::vector<char16_t> buffer(id.size() + 4, u'#');
    EXPECT_EQ(dev::GetDeviceId(device.devInst, buffer.data(), static_cast<uint32_t>(id.size()), 0),
              kCrBufferSmall);
    EXPECT_EQ(buffer[0], u'#');
    ASSERT_EQ(dev::GetDeviceId(device.devInst, buffer.data(), static_cast<uint32_t>(id.size() + 1), 0),
              kCrSuccess);
    EXPECT_EQ(std::u16string(buffer.data()), id);
    EXPECT_EQ(buffer[id.size() + 1], u'#');
    EXPECT_EQ(dev::GetDeviceId(0, buffer.data(), 200, 0), kCrInvalidDevinst);
    EXPECT_EQ(dev::GetDeviceId(device.devInst, buffer.data(), 200, 1), kCrInvalidFlag);
    dev::DestroyDeviceInfoList(set);
}

// The node status follows the simulated device state: started, disabled with its problem, gone.
TEST(DeviceNodeStatus, FollowsTheDeviceState) {
    TempMachine machine;
    HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, 0);
    DevInfoData device;
    ASSERT_TRUE(dev::EnumDeviceInfo(set, 0, &device));
    std::vector<char16_t> id(200);
    ASSERT_EQ(dev::GetDeviceId(device.devInst, id.data(), 200, 0), kCrSuccess);
    struct Case {
        std::u16string_view value;
        uint32_t written;
        ConfigRet result;
        uint32_t status;
        uint32_t problem;
    };
    const Case cases[] = {
        {sim::kStateDisabled, 0, kCrSuccess, dev::kDnDriverLoaded | dev::kDnStarted, 0},
        {sim::kStateDisabled, 1, kCrSuccess, dev::kDnHasProblem, dev::kCmProbDisabled},
        {sim::kStatePresent, 0, kCrNoSuchDevinst, 7, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.value) + " " + std::to_string(c.written));
        ASSERT_TRUE(sim::WriteDeviceState(id.data(), c.value, c.written));
        uint32_t status = 7;
        uint32_t problem = 7;
        EXPECT_EQ(dev::GetDevNodeStatus(&status, &problem, device.devInst, 0), c.result);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(problem, c.problem);
    }
    uint32_t status = 0;
    EXPECT_EQ(dev::GetDevNodeStatus(&status, &status, 0, 0), kCrInvalidDevinst);
    EXPECT_EQ(dev::GetDevNodeStatus(&status, &status, device.devInst, 1), kCrInvalidFlag);
    EXPECT_EQ(dev::GetDevNodeStatus(nullptr, &status, device.devInst, 0), kCrInvalidPointer);
    dev::DestroyDeviceInfoList(set);
}

}  // namespace
}  // namespace qv
