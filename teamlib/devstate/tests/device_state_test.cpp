// Device state control on a simulated machine: the hidden flag, restarts and their scope, the
// DI_DONOTCALLCONFIGMG refusal and the XP offload check.
#include "qv/teamlib/device_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "qv/platform/scoped_handle.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using testing::DwordBytes;
using testing::StringBytes;
using Bytes = std::vector<uint8_t>;

const std::u16string kPort = testing::DefaultPortGuid(0);
const std::u16string kUnknown = u"{00000000-0000-0000-0000-0000000000AA}";

void SetOs(uint32_t major, uint32_t minor, uint32_t platform = 2) {
    ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", major) && sim::WriteHostValue(u"OsMinor", minor) &&
                sim::WriteHostValue(u"PlatformId", platform));
}
Bytes Value(const std::u16string& guid, const char16_t* name) {
    return testing::ReadValueBytes(testing::DriverKeyPathOf(guid), name).value_or(Bytes{});
}
std::u16string Instance(const std::u16string& guid) {
    return sim::FindDeviceByNetCfgInstanceId(guid).value_or(u"");
}
uint32_t State(std::u16string_view name) {
    return sim::ReadDeviceState(Instance(kPort), name).value_or(0);
}
// The present network devices, with *device the one of the GUID.
ScopedDevInfo OpenDevice(const std::u16string& guid, DevInfoData* device) {
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    for (uint32_t i = 0; dev::EnumDeviceInfo(set.get(), i, device); ++i) {
        char16_t id[kMaxDeviceIdLength] = {};
        if (dev::GetDeviceId(device->devInst, id, kMaxDeviceIdLength, 0) == kCrSuccess &&
            id == Instance(guid))
            break;
    }
    return set;
}

class DeviceStateTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }
    testing::TempMachine machine_;
};

TEST_F(DeviceStateTest, HiddenFlagChangesOnlyAFourByteDword) {
    const struct {
        uint32_t type;
        Bytes before;
        int result;
        Bytes hidden, shown;
    } cases[] = {
        {kRegDword, DwordBytes(0x84), 1, DwordBytes(0x8C), DwordBytes(0x84)},
        {kRegDword, DwordBytes(0x8C), 1, DwordBytes(0x8C), DwordBytes(0x84)},
        {kRegNone, {}, 0, {}, {}},  // missing
        {kRegSz, StringBytes(u"132"), 0, StringBytes(u"132"), StringBytes(u"132")},
        {kRegBinary, {0x84, 0}, 0, {0x84, 0}, {0x84, 0}},
        {kRegBinary, DwordBytes(0x84), 0, DwordBytes(0x84), DwordBytes(0x84)},
        {kRegDword, Bytes(8, 0), 0, Bytes(8, 0), Bytes(8, 0)},
    };
    const std::u16string path = testing::DriverKeyPathOf(kPort);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << ", " << c.before.size() << " bytes");
        ScopedKey key;
        ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, key.Receive()),
                  kErrorSuccess);
        reg::DeleteValue(key.get(), u"Characteristics");
        if (c.type != kRegNone) {
            ASSERT_TRUE(testing::WriteValueBytes(path, u"Characteristics", c.type, c.before));
        }
        EXPECT_EQ(HideNIC(key.get()), c.result);
        EXPECT_EQ(Value(kPort, u"Characteristics"), c.hidden);
        EXPECT_EQ(ShowNIC(key.get()), c.result);
        EXPECT_EQ(Value(kPort, u"Characteristics"), c.shown);
    }
    // By GUID; an unknown GUID or a bad value changes nothing.
    ShowHideNic(testing::ToGuid(kPort), 1);
    EXPECT_EQ(Value(kPort, u"Characteristics"), Bytes(8, 0));
    ASSERT_TRUE(testing::WriteValueBytes(path, u"Characteristics", kRegDword, DwordBytes(0x84)));
    ShowHideNic(testing::ToGuid(kUnknown), 1);
    EXPECT_EQ(Value(kPort, u"Characteristics"), DwordBytes(0x84));
    ShowHideNic(testing::ToGuid(kPort), 1);
    EXPECT_EQ(Value(kPort, u"Characteristics"), DwordBytes(0x8C));
    ShowHideNic(testing::ToGuid(kPort), 0);
    EXPECT_EQ(Value(kPort, u"Characteristics"), DwordBytes(0x84));
}

TEST_F(DeviceStateTest, DisableScopeIsGlobalOnlyOnWindows52) {
    const struct {
        uint32_t major, minor;
        bool global;
    } versions[] = {{5, 2, true}, {5, 1, false}, {5, 0, false}, {6, 0, false}, {6, 1, false}, {4, 2, false}};
    for (const auto& v : versions) {
        SCOPED_TRACE(::testing::Message() << v.major << "." << v.minor);
        SetOs(v.major, v.minor);
        DevInfoData device;
        const ScopedDevInfo set = OpenDevice(kPort, &device);
        ASSERT_EQ(DisableDevice(set.get(), &device), 1);
        EXPECT_EQ(State(sim::kStateDisabled), 1u);
        EXPECT_EQ((sim::ReadDevice(Instance(kPort))->configFlags.value_or(0) & sim::kConfigFlagDisabled) != 0,
                  v.global);
        EXPECT_EQ(State(sim::kStateProfileDisabled) == 1, !v.global);
        ASSERT_EQ(EnableDevice(set.get(), &device), 1);
        EXPECT_EQ(State(sim::kStateDisabled), 0u);
    }
}

TEST_F(DeviceStateTest, DoNotCallConfigMgRefusesEveryStateChange) {
    DevInfoData device;
    const ScopedDevInfo set = OpenDevice(kPort, &device);
    DevInstallParams params;
    ASSERT_TRUE(dev::GetDeviceInstallParams(set.get(), &device, &params));
    params.flags |= kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(set.get(), &device, &params));
    EXPECT_EQ(DisableDevice(set.get(), &device), 0);
    EXPECT_EQ(DisableEnableDevice(set.get(), &device), 1);
    EXPECT_EQ(State(sim::kStateDisabled), 0u);

    // Disabled without the flag, the adapter stays disabled while it is set; a fresh set restarts it.
    params.flags &= ~kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(set.get(), &device, &params));
    ASSERT_EQ(DisableDevice(set.get(), &device), 1);
    params.flags |= kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(set.get(), &device, &params));
    EXPECT_EQ(EnableDevice(set.get(), &device), 0);
    EXPECT_EQ(State(sim::kStateDisabled), 1u);
    EXPECT_EQ(DisableEnableNic(testing::ToGuid(kPort)), 1);
    EXPECT_EQ(State(sim::kStateDisabled), 0u);
    EXPECT_EQ(DisableEnableNic(testing::ToGuid(kUnknown)), 0);
}

TEST_F(DeviceStateTest, OffloadRefusalOnlyOnXpForTheMakersPhysicalAdapters) {
    const std::u16string other = testing::kOtherVendorGuid;
    const struct {
        uint32_t major, minor, platform;
        std::u16string guid;  // the adapter whose TCPOffload is set
        std::u16string provider;
        uint32_t type;
        Bytes offload;
        bool expected;
    } cases[] = {
        {5, 1, 2, kPort, u"Quorvex", kRegSz, StringBytes(u"1"), true},
        {5, 1, 2, kPort, u"Quorvex", kRegSz, StringBytes(u"0"), false},
        {5, 1, 2, kPort, u"Quorvex", kRegSz, StringBytes(u"10"), false},
        {5, 1, 2, kPort, u"Quorvex", kRegDword, DwordBytes(1), false},
        {5, 1, 2, other, u"Northwind", kRegSz, StringBytes(u"1"), false},
        {5, 1, 2, kPort, u"quorvex", kRegSz, StringBytes(u"1"), false},
        {5, 1, 2, kPort, u"Quorvex Inc", kRegSz, StringBytes(u"1"), false},
        {5, 2, 2, kPort, u"Quorvex", kRegSz, StringBytes(u"1"), false},
        {6, 0, 2, kPort, u"Quorvex", kRegSz, StringBytes(u"1"), false},
        {5, 1, 1, kPort, u"Quorvex", kRegSz, StringBytes(u"1"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.major << "." << c.minor << " platform " << c.platform << " "
                                          << ToUtf8(c.provider) << " offload " << c.offload.size());
        testing::TempMachine machine;
        SetOs(c.major, c.minor, c.platform);
        const std::u16string path = testing::DriverKeyPathOf(c.guid);
        ASSERT_TRUE(testing::WriteValueBytes(path, u"TCPOffload", c.type, c.offload));
        ASSERT_TRUE(testing::WriteValueBytes(path, u"ProviderName", kRegSz, StringBytes(c.provider)));
        EXPECT_EQ(IsWinXPAndOffload(nullptr), c.expected);
    }
}

}  // namespace
}  // namespace qv
