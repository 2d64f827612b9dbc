// Device state control on a simulated machine: the hidden flag, restarts and their scope, the
// DI_DONOTCALLCONFIGMG refusal and the XP offload check.
#include "qv/teamlib/device_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using testing::DefaultPortGuid;
using testing::DwordBytes;
using testing::ReadValueBytes;
using testing::StringBytes;
using testing::ToGuid;
using testing::WriteValueBytes;

const std::u16string kVlanGuid = u"{7EA0F001-0000-4000-8000-000000000001}";

void SetOs(uint32_t major, uint32_t minor, uint32_t platform = 2) {
    ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", major));
    ASSERT_TRUE(sim::WriteHostValue(u"OsMinor", minor));
    ASSERT_TRUE(sim::WriteHostValue(u"PlatformId", platform));
}

std::u16string InstanceOf(const std::u16string& guid) {
    return sim::FindDeviceByNetCfgInstanceId(guid).value_or(u"");
}

// The present network devices with one of them picked by GUID.
class NetDeviceSet {
  public:
    explicit NetDeviceSet(const std::u16string& guid)
        : set_(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent)) {
        const std::u16string wanted = InstanceOf(guid);
        for (uint32_t i = 0; dev::EnumDeviceInfo(set_.get(), i, &device_); ++i) {
            char16_t id[kMaxDeviceIdLength] = {};
            if (dev::GetDeviceId(device_.devInst, id, kMaxDeviceIdLength, 0) == kCrSuccess && id == wanted)
                return;
        }
        ADD_FAILURE() << "no device for the GUID";
    }
    HDevInfo set() const { return set_.get(); }
    DevInfoData* device() { return &device_; }

  private:
    ScopedDevInfo set_;
    DevInfoData device_;
};

class DeviceStateTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }

    std::optional<std::vector<uint8_t>> Characteristics(const std::u16string& guid,
                                                        uint32_t* type = nullptr) {
        return ReadValueBytes(testing::DriverKeyPathOf(guid), u"Characteristics", type);
    }
    std::optional<uint32_t> State(const std::u16string& guid, std::u16string_view name) {
        return sim::ReadDeviceState(InstanceOf(guid), name);
    }
    std::optional<uint32_t> ConfigFlags(const std::u16string& guid) {
        const auto record = sim::ReadDevice(InstanceOf(guid));
        return record ? record->configFlags : std::nullopt;
    }

    testing::TempMachine machine_;
};

TEST_F(DeviceStateTest, HiddenFlagIsSetAndClearedOnlyInAFourByteDword) {
    const struct {
        const char* what;
        std::optional<uint32_t> type;  // nullopt: no value
        std::vector<uint8_t> bytes;
        int hideResult;
        std::vector<uint8_t> afterHide;
        int showResult;
        std::vector<uint8_t> afterShow;
    } cases[] = {
        {"visible", kRegDword, DwordBytes(0x84), 1, DwordBytes(0x8C), 1, DwordBytes(0x84)},
        {"already hidden", kRegDword, DwordBytes(0x8C), 1, DwordBytes(0x8C), 1, DwordBytes(0x84)},
        {"only the flag", kRegDword, DwordBytes(0x8), 1, DwordBytes(0x8), 1, DwordBytes(0)},
        {"missing", std::nullopt, {}, 0, {}, 0, {}},
        {"string", kRegSz, StringBytes(u"132"), 0, StringBytes(u"132"), 0, StringBytes(u"132")},
        {"two bytes", kRegBinary, {0x84, 0}, 0, {0x84, 0}, 0, {0x84, 0}},
        {"eight bytes",
         kRegBinary,
         {0x84, 0, 0, 0, 0, 0, 0, 0},
         0,
         {0x84, 0, 0, 0, 0, 0, 0, 0},
         0,
         {0x84, 0, 0, 0, 0, 0, 0, 0}},
        {"dword-sized binary", kRegBinary, DwordBytes(0x84), 0, DwordBytes(0x84), 0, DwordBytes(0x84)},
    };
    const std::u16string path = testing::DriverKeyPathOf(DefaultPortGuid(0));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HKey raw = nullptr;
        ASSERT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &raw), kErrorSuccess);
        const ScopedKey key(raw);
        reg::DeleteValue(key.get(), u"Characteristics");
        if (c.type) {
            ASSERT_TRUE(WriteValueBytes(path, u"Characteristics", *c.type, c.bytes));
        }

        EXPECT_EQ(HideNIC(key.get()), c.hideResult);
        EXPECT_EQ(Characteristics(DefaultPortGuid(0)).value_or(std::vector<uint8_t>{}), c.afterHide);
        EXPECT_EQ(ShowNIC(key.get()), c.showResult);
        uint32_t type = 0;
        EXPECT_EQ(Characteristics(DefaultPortGuid(0), &type).value_or(std::vector<uint8_t>{}), c.afterShow);
        if (c.type) {
            EXPECT_EQ(type, *c.type);
        }
    }
}

TEST_F(DeviceStateTest, ShowHideNicFindsAnyAdapterByItsGuidAndRestartsIt) {
    testing::SimAdapter vlan;
    vlan.instanceId = u"ROOT\\NET\\0003";
    vlan.guid = kVlanGuid;
    vlan.vlanId = 7;
    ASSERT_TRUE(testing::AddSimAdapter(vlan));
    ASSERT_TRUE(
        WriteValueBytes(testing::DriverKeyPathOf(kVlanGuid), u"Characteristics", kRegDword, DwordBytes(1)));

    for (const std::u16string& guid : {DefaultPortGuid(1), kVlanGuid}) {
        const auto before = Characteristics(guid);
        ASSERT_TRUE(before);
        const uint32_t original = (*before)[0];
        ShowHideNic(ToGuid(guid), 1);
        EXPECT_EQ(Characteristics(guid), DwordBytes(original | kNcfHidden));
        EXPECT_EQ(State(guid, sim::kStateDisabled), 0u);
        ShowHideNic(ToGuid(guid), 0);
        EXPECT_EQ(Characteristics(guid), DwordBytes(original));
    }
    // Other adapters are not touched.
    EXPECT_EQ(Characteristics(DefaultPortGuid(0)), DwordBytes(0x84));
    ShowHideNic(ToGuid(u"{00000000-0000-0000-0000-0000000000AA}"), 1);
    EXPECT_EQ(Characteristics(DefaultPortGuid(0)), DwordBytes(0x84));
}

TEST_F(DeviceStateTest, DisableScopeIsGlobalOnlyOnWindows52) {
    const struct {
        uint32_t major, minor;
        bool global;
    } versions[] = {{5, 2, true}, {5, 1, false}, {5, 0, false}, {6, 0, false}, {6, 1, false}, {4, 2, false}};
    const std::u16string guid = DefaultPortGuid(0);
    for (const auto& v : versions) {
        SCOPED_TRACE(std::to_string(v.major) + "." + std::to_string(v.minor));
        SetOs(v.major, v.minor);
        NetDeviceSet d(guid);
        ASSERT_EQ(DisableDevice(d.set(), d.device()), 1);
        EXPECT_EQ(State(guid, sim::kStateDisabled), 1u);
        EXPECT_EQ((ConfigFlags(guid).value_or(0) & sim::kConfigFlagDisabled) != 0, v.global);
        EXPECT_EQ(State(guid, sim::kStateProfileDisabled).value_or(0) == 1, !v.global);
        ASSERT_EQ(EnableDevice(d.set(), d.device()), 1);
        EXPECT_EQ(State(guid, sim::kStateDisabled), 0u);
        EXPECT_EQ(ConfigFlags(guid).value_or(0) & sim::kConfigFlagDisabled, 0u);
        EXPECT_EQ(State(guid, sim::kStateProfileDisabled).value_or(0), 0u);
    }
}

TEST_F(DeviceStateTest, DoNotCallConfigMgRefusesEveryStateChange) {
    const std::u16string guid = DefaultPortGuid(2);
    NetDeviceSet d(guid);
    DevInstallParams params;
    ASSERT_TRUE(dev::GetDeviceInstallParams(d.set(), d.device(), &params));
    params.flags |= kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(d.set(), d.device(), &params));
    EXPECT_EQ(DisableDevice(d.set(), d.device()), 0);
    EXPECT_EQ(State(guid, sim::kStateDisabled), 0u);
    EXPECT_EQ(DisableEnableDevice(d.set(), d.device()), 1);
    EXPECT_EQ(State(guid, sim::kStateDisabled), 0u);
    // With the flag gone the device can be disabled, and then the flag also keeps it disabled.
    params.flags &= ~kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(d.set(), d.device(), &params));
    ASSERT_EQ(DisableDevice(d.set(), d.device()), 1);
    params.flags |= kDiDoNotCallConfigMg;
    ASSERT_TRUE(dev::SetDeviceInstallParams(d.set(), d.device(), &params));
    EXPECT_EQ(EnableDevice(d.set(), d.device()), 0);
    EXPECT_EQ(State(guid, sim::kStateDisabled), 1u);
}

TEST_F(DeviceStateTest, DisableEnableNicRestartsTheAdapterWithThatGuid) {
    const std::u16string guid = DefaultPortGuid(3);
    {
        NetDeviceSet d(guid);
        ASSERT_EQ(DisableDevice(d.set(), d.device()), 1);
    }
    ASSERT_EQ(State(guid, sim::kStateDisabled), 1u);
    EXPECT_EQ(DisableEnableNic(ToGuid(guid)), 1);
    EXPECT_EQ(State(guid, sim::kStateDisabled), 0u);
    EXPECT_EQ(DisableEnableNic(ToGuid(u"{00000000-0000-0000-0000-0000000000AA}")), 0);
}

TEST_F(DeviceStateTest, OffloadRefusalOnlyOnXpForTheMakersPhysicalAdapters) {
    const std::u16string port = DefaultPortGuid(1);
    const std::u16string other = testing::kOtherVendorGuid;
    const struct {
        const char* what;
        uint32_t major, minor, platform;
        std::u16string guid;  // the adapter whose TCPOffload is set
        std::optional<std::u16string> provider;
        uint32_t offloadType;
        std::vector<uint8_t> offload;
        bool expected;
    } cases[] = {
        {"XP, offload on", 5, 1, 2, port, std::nullopt, kRegSz, StringBytes(u"1"), true},
        {"XP, offload off", 5, 1, 2, port, std::nullopt, kRegSz, StringBytes(u"0"), false},
        {"XP, \"10\"", 5, 1, 2, port, std::nullopt, kRegSz, StringBytes(u"10"), false},
        {"XP, offload as a DWORD", 5, 1, 2, port, std::nullopt, kRegDword, DwordBytes(1), false},
        {"XP, other vendor", 5, 1, 2, other, std::nullopt, kRegSz, StringBytes(u"1"), false},
        {"XP, provider in other case", 5, 1, 2, port, u"quorvex", kRegSz, StringBytes(u"1"), false},
        {"XP, provider longer", 5, 1, 2, port, u"Quorvex Inc", kRegSz, StringBytes(u"1"), false},
        {"5.2", 5, 2, 2, port, std::nullopt, kRegSz, StringBytes(u"1"), false},
        {"6.0", 6, 0, 2, port, std::nullopt, kRegSz, StringBytes(u"1"), false},
        {"5.1 not NT", 5, 1, 1, port, std::nullopt, kRegSz, StringBytes(u"1"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempMachine machine;
        SetOs(c.major, c.minor, c.platform);
        const std::u16string path = testing::DriverKeyPathOf(c.guid);
        ASSERT_TRUE(WriteValueBytes(path, u"TCPOffload", c.offloadType, c.offload));
        if (c.provider) {
            ASSERT_TRUE(WriteValueBytes(path, u"ProviderName", kRegSz, StringBytes(*c.provider)));
        }
        EXPECT_EQ(IsWinXPAndOffload(nullptr), c.expected);
    }
}

TEST_F(DeviceStateTest, OffloadOnAVirtualAdapterDoesNotCount) {
    SetOs(5, 1);
    testing::SimAdapter vlan;
    vlan.instanceId = u"ROOT\\NET\\0003";
    vlan.guid = kVlanGuid;
    ASSERT_TRUE(testing::AddSimAdapter(vlan));
    ASSERT_TRUE(
        WriteValueBytes(testing::DriverKeyPathOf(kVlanGuid), u"TCPOffload", kRegSz, StringBytes(u"1")));
    EXPECT_FALSE(IsWinXPAndOffload(nullptr));
}

}  // namespace
}  // namespace qv
