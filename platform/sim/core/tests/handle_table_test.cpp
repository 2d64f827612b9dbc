// The simulated host's one handle table, through the ports that use it: every kind of handle is
// refused alike once closed, when made up, when of another kind, and (registry keys) after a
// machine switch; interface sets are device sets; nothing leaks.
#include "qv/sim/handle_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::TempMachine;

// Closers of each kind, reporting the Win32 code the port gave.
Win32Error CloseKeyCode(uintptr_t h) {
    return static_cast<Win32Error>(reg::CloseKey(reinterpret_cast<HKey>(h)));
}
Win32Error DestroySetCode(uintptr_t h) {
    return dev::DestroyDeviceInfoList(reinterpret_cast<HDevInfo>(h)) ? kErrorSuccess : GetLastError();
}
Win32Error CloseDeviceCode(uintptr_t h) {
    return io::CloseHandle(reinterpret_cast<HDevice>(h)) ? kErrorSuccess : GetLastError();
}

uintptr_t OpenKey() {
    HKey key = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(kHkeyLocalMachine, u"SYSTEM", kKeyRead, &key), kErrorSuccess);
    return reinterpret_cast<uintptr_t>(key);
}
uintptr_t ClassSet() {
    return reinterpret_cast<uintptr_t>(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
}
uintptr_t InterfaceSet() {
    return reinterpret_cast<uintptr_t>(dev::GetClassDevsA(&kGuidBusDriverInterface, nullptr, nullptr,
                                                          kDigcfPresent | kDigcfDeviceInterface));
}

const struct Kind {
    const char* name;
    uintptr_t (*open)();
    Win32Error (*close)(uintptr_t);
} kKinds[] = {
    {"registry key", OpenKey, CloseKeyCode},
    {"class device set", ClassSet, DestroySetCode},
    {"interface set", InterfaceSet, DestroySetCode},
};

TEST(HandleTableTest, ClosedMadeUpAndWrongKindHandlesAreInvalid) {
    TempMachine machine;
    const size_t before = sim::LiveHandleCount();
    const uintptr_t madeUp[] = {0x1234, 0x10, 0x7FFF0000FFFCull, uintptr_t{1} << 40, 0x80000001u};
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        for (const uintptr_t h : madeUp) EXPECT_EQ(kind.close(h), kErrorInvalidHandle) << std::hex << h;

        const uintptr_t h = kind.open();
        ASSERT_NE(h, 0u);
        ASSERT_NE(h, static_cast<uintptr_t>(-1));
        // Another kind's closer refuses it and leaves it open.
        for (auto* other : {CloseKeyCode, DestroySetCode, CloseDeviceCode}) {
            if (other != kind.close) {
                EXPECT_EQ(other(h), kErrorInvalidHandle);
            }
        }
        EXPECT_EQ(kind.close(h), kErrorSuccess);
        EXPECT_EQ(kind.close(h), kErrorInvalidHandle);  // double close

        // The slot is reused by the next handle; the closed one stays dead.
        const uintptr_t next = kind.open();
        EXPECT_NE(next, h);
        EXPECT_EQ(kind.close(h), kErrorInvalidHandle);
        EXPECT_EQ(kind.close(next), kErrorSuccess);
    }
    EXPECT_EQ(sim::LiveHandleCount(), before);
}

TEST(HandleTableTest, ClosedSetsAndDevicesRefuseEveryCall) {
    TempMachine machine;
    const auto set = reinterpret_cast<HDevInfo>(ClassSet());
    DevInfoData device;
    ASSERT_TRUE(dev::EnumDeviceInfo(set, 0, &device));
    ASSERT_TRUE(dev::DestroyDeviceInfoList(set));
    EXPECT_FALSE(dev::EnumDeviceInfo(set, 0, &device));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    uint8_t buffer[64];
    EXPECT_FALSE(
        dev::GetDeviceRegistryProperty(set, &device, kSpdrpDriver, nullptr, buffer, sizeof buffer, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);

    const uintptr_t key = OpenKey();
    uint32_t returned = 0;
    EXPECT_FALSE(io::DeviceIoControl(reinterpret_cast<HDevice>(key), 0x68000000, nullptr, 0, nullptr, 0,
                                     &returned));  // a registry key is no device
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_EQ(CloseKeyCode(key), kErrorSuccess);
}

TEST(HandleTableTest, InterfaceSetsAreDeviceSets) {
    TempMachine machine;
    const auto set = reinterpret_cast<HDevInfo>(InterfaceSet());
    ASSERT_NE(set, kInvalidDevInfo);
    DevInfoData device;
    EXPECT_FALSE(dev::EnumDeviceInfo(set, 0, &device));  // it lists interfaces, not devices
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    DeviceInterfaceData data;
    const auto classSet = reinterpret_cast<HDevInfo>(ClassSet());
    EXPECT_FALSE(dev::EnumDeviceInterfaces(classSet, nullptr, &kGuidBusDriverInterface, 0, &data));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    EXPECT_TRUE(dev::DestroyDeviceInfoList(classSet));
    EXPECT_TRUE(dev::EnumDeviceInterfaces(set, nullptr, &kGuidBusDriverInterface, 0, &data));
    EXPECT_TRUE(dev::DestroyDeviceInfoList(set));
}

TEST(HandleTableTest, MachineSwitchInvalidatesKeysButTheyStillClose) {
    const size_t before = sim::LiveHandleCount();
    auto first = std::make_unique<TempMachine>();
    const auto key = reinterpret_cast<HKey>(OpenKey());
    const auto set = reinterpret_cast<HDevInfo>(ClassSet());
    TempMachine second;
    uint32_t size = 0;
    EXPECT_EQ(reg::QueryValueEx(key, u"x", nullptr, nullptr, &size), kErrorInvalidHandle);
    HKey child = nullptr;
    EXPECT_EQ(reg::OpenKeyEx(key, u"Select", kKeyRead, &child), kErrorInvalidHandle);
    DevInfoData device;
    EXPECT_TRUE(dev::EnumDeviceInfo(set, 0, &device));  // device sets keep what they found
    EXPECT_EQ(reg::CloseKey(key), kErrorSuccess);
    EXPECT_TRUE(dev::DestroyDeviceInfoList(set));
    EXPECT_EQ(sim::LiveHandleCount(), before);
}

}  // namespace
}  // namespace qv
