// Behaviour of the device-installation port that the programs rely on when they create and remove
// a virtual adapter. The same cases run against the simulated host and, in the windows build,
// against the real SetupAPI (under Wine), so both backends are held to one standard.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/testing/wine.h"
#include "suite_machine.h"

namespace qv {
namespace {

using qv::testing::RunningUnderWine;

constexpr std::u16string_view kTestHardwareId = u"QV_CONFORMANCE_TEST";
constexpr const char16_t* kTestDescription = u"Conformance test adapter";

std::vector<uint8_t> MultiSz(std::u16string_view id) {
    std::vector<uint8_t> bytes((id.size() + 2) * 2, 0);
    std::memcpy(bytes.data(), id.data(), id.size() * 2);
    return bytes;
}

std::u16string DeviceIdOf(uint32_t devInst) {
    char16_t buffer[kMaxDeviceIdLength] = {};
    if (dev::GetDeviceId(devInst, buffer, kMaxDeviceIdLength, 0) != kCrSuccess) return u"?";
    return buffer;
}

std::vector<uint8_t> Property(HDevInfo set, DevInfoData* device, uint32_t property, uint32_t* type) {
    uint32_t size = 0;
    dev::GetDeviceRegistryProperty(set, device, property, type, nullptr, 0, &size);
    std::vector<uint8_t> bytes(size);
    if (size == 0 || !dev::GetDeviceRegistryProperty(set, device, property, type, bytes.data(), size, &size))
        return {};
    bytes.resize(size);
    return bytes;
}

std::u16string Text(const std::vector<uint8_t>& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * 2);
    return text.substr(0, text.find(u'\0'));
}

// Root-enumerated Net devices present in the system now.
std::vector<std::u16string> RootNetDevices() {
    std::vector<std::u16string> ids;
    HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, u"ROOT", nullptr, 0);
    EXPECT_NE(set, kInvalidDevInfo);
    DevInfoData device;
    for (uint32_t i = 0; dev::EnumDeviceInfo(set, i, &device); ++i) ids.push_back(DeviceIdOf(device.devInst));
    dev::DestroyDeviceInfoList(set);
    return ids;
}

bool Contains(const std::vector<std::u16string>& ids, const std::u16string& id) {
    for (const auto& each : ids) {
        if (each == id) return true;
    }
    return false;
}

bool NodeExists(const std::u16string& id) {
    const std::u16string path = u"SYSTEM\\CurrentControlSet\\Enum\\" + id;
    HKey key = nullptr;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyRead, &key) != kErrorSuccess) return false;
    reg::CloseKey(key);
    return true;
}

// "ROOT\NET\" and four decimal digits.
bool IsGeneratedNetId(const std::u16string& id) {
    if (id.size() != 13 || id.substr(0, 9) != u"ROOT\\NET\\") return false;
    for (size_t i = 9; i < 13; ++i) {
        if (id[i] < u'0' || id[i] > u'9') return false;
    }
    return true;
}

class DevinstConformance : public qv::testing::SuiteOnMachine<qv::testing::SuiteMachineContent::kOnFirstUse> {
  protected:
    void SetUp() override {
        set_ = dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr);
        ASSERT_NE(set_, kInvalidDevInfo);
        ASSERT_TRUE(dev::CreateDeviceInfo(set_, u"Net", kGuidDevClassNet, kTestDescription, nullptr,
                                          kDicdGenerateId | kDicdInheritClassdrvs, &device_))
            << GetLastError();
        const auto ids = MultiSz(kTestHardwareId);
        ASSERT_TRUE(dev::SetDeviceRegistryProperty(set_, &device_, kSpdrpHardwareId, ids.data(),
                                                   static_cast<uint32_t>(ids.size())))
            << GetLastError();
        id_ = DeviceIdOf(device_.devInst);
    }
    void TearDown() override {
        if (registered_ && !removed_) dev::RemoveDevice(set_, &device_);
        dev::DestroyDeviceInfoList(set_);
    }

    void Register() {
        ASSERT_TRUE(dev::CallClassInstaller(kDifRegisterDevice, set_, &device_)) << GetLastError();
        registered_ = true;
    }

    HDevInfo set_ = kInvalidDevInfo;
    DevInfoData device_;
    std::u16string id_;
    bool registered_ = false, removed_ = false;
};

TEST_F(DevinstConformance, GeneratedIdIsRootNetAndRegistrationMakesTheDevice) {
    EXPECT_TRUE(IsGeneratedNetId(id_)) << std::string(id_.begin(), id_.end());
    EXPECT_TRUE(GuidEqual(device_.classGuid, kGuidDevClassNet));
    Register();
    EXPECT_TRUE(Contains(RootNetDevices(), id_));
    EXPECT_TRUE(NodeExists(id_));

    // Its properties read back as written.
    uint32_t type = 0;
    EXPECT_EQ(Property(set_, &device_, kSpdrpHardwareId, &type), MultiSz(kTestHardwareId));
    EXPECT_EQ(type, kRegMultiSz);
    EXPECT_EQ(Text(Property(set_, &device_, kSpdrpClassGuid, &type)), kGuidDevClassNetText);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(Text(Property(set_, &device_, kSpdrpDeviceDesc, &type)), kTestDescription);
    // A second device of the same kind gets another number.
    DevInfoData other;
    ASSERT_TRUE(
        dev::CreateDeviceInfo(set_, u"Net", kGuidDevClassNet, nullptr, nullptr, kDicdGenerateId, &other));
    const std::u16string otherId = DeviceIdOf(other.devInst);
    EXPECT_TRUE(IsGeneratedNetId(otherId));
    EXPECT_NE(otherId, id_);
}

TEST_F(DevinstConformance, CreatedDeviceIsNoDeviceBeforeRegistration) {
    if (RunningUnderWine())
        GTEST_SKIP() << "known Wine gap: Wine writes the device node when the device is created";
    EXPECT_FALSE(Contains(RootNetDevices(), id_));
    EXPECT_FALSE(NodeExists(id_));
    Register();
    EXPECT_TRUE(Contains(RootNetDevices(), id_));
}

TEST_F(DevinstConformance, InstallParamsReadBackAsSet) {
    Register();
    DevInstallParams params;
    ASSERT_TRUE(dev::GetDeviceInstallParams(set_, &device_, &params)) << GetLastError();
    const uint32_t flagsBefore = params.flags;
    params.flags |= kDiDoNotCallConfigMg;
    params.flagsEx |= kDiFlagsExAllowExcludedDrvs;
    const std::u16string path = u"C:\\windows\\inf\\qvconformance.inf";
    std::copy(path.begin(), path.end(), params.driverPath);
    ASSERT_TRUE(dev::SetDeviceInstallParams(set_, &device_, &params)) << GetLastError();
    DevInstallParams back;
    ASSERT_TRUE(dev::GetDeviceInstallParams(set_, &device_, &back));
    EXPECT_EQ(back.flags & kDiDoNotCallConfigMg, kDiDoNotCallConfigMg);
    EXPECT_EQ(back.flags & ~kDiDoNotCallConfigMg, flagsBefore & ~kDiDoNotCallConfigMg);
    EXPECT_EQ(back.flagsEx & kDiFlagsExAllowExcludedDrvs, kDiFlagsExAllowExcludedDrvs);
    EXPECT_EQ(std::u16string(back.driverPath), path);

    DevInstallParams bad = params;
    bad.cbSize = 4;
    EXPECT_FALSE(dev::GetDeviceInstallParams(set_, &device_, &bad));
    EXPECT_EQ(GetLastError(), kErrorInvalidUserBuffer);
}

TEST_F(DevinstConformance, RemovedDeviceIsGone) {
    Register();
    ASSERT_TRUE(dev::RemoveDevice(set_, &device_)) << GetLastError();
    removed_ = true;
    EXPECT_FALSE(Contains(RootNetDevices(), id_));
    EXPECT_FALSE(NodeExists(id_));
}

TEST_F(DevinstConformance, RemovedWithGlobalRemoveParamsIsGone) {
    if (RunningUnderWine())
        GTEST_SKIP() << "known Wine gap: SetupDiSetClassInstallParamsW is not implemented";
    Register();
    RemoveDeviceParams params;
    params.scope = kDiRemoveDeviceGlobal;
    ASSERT_TRUE(dev::SetClassInstallParams(set_, &device_, &params.header, sizeof params)) << GetLastError();
    ASSERT_TRUE(dev::RemoveDevice(set_, &device_)) << GetLastError();
    removed_ = true;
    EXPECT_FALSE(Contains(RootNetDevices(), id_));
    EXPECT_FALSE(NodeExists(id_));
}

TEST_F(DevinstConformance, UnregisteredDeviceLeavesNothingBehind) {
    const std::u16string id = id_;
    ASSERT_TRUE(dev::DestroyDeviceInfoList(set_));
    set_ = dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr);
    EXPECT_FALSE(Contains(RootNetDevices(), id));
    EXPECT_FALSE(NodeExists(id));
}

}  // namespace
}  // namespace qv
