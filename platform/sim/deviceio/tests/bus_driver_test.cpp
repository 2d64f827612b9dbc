// The bus-driver interface lookup of the simulated host: which interfaces a set holds, the detail
// buffer protocol, handle checks, and opening an interface by its device path.
#include "qv/sim/bus_driver.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

constexpr const Guid& kBusClass = kGuidBusDriverInterface;
constexpr uint32_t kFlags = kDigcfPresent | kDigcfDeviceInterface;
constexpr const char* kLink0 = "\\\\?\\ROOT#QVVBD#0000#{B5C98E43-7483-415C-9308-38065264E10B}";
constexpr const char* kLink1 = "\\\\?\\ROOT#QVVBD#0001#{B5C98E43-7483-415C-9308-38065264E10B}";

class BusDriverLookupTest : public ::testing::Test {
  protected:
    // The device path of member `index`, or "" when there is none.
    static std::string PathOf(HDevInfo set, uint32_t index) {
        DeviceInterfaceData data;
        if (!dev::EnumDeviceInterfaces(set, nullptr, &kBusClass, index, &data)) return "";
        alignas(8) char buffer[300] = {};
        auto* detail = reinterpret_cast<DeviceInterfaceDetailDataA*>(buffer);
        detail->cbSize = kDeviceInterfaceDetailFixedSize;
        if (!dev::GetDeviceInterfaceDetailA(set, &data, detail, sizeof buffer, nullptr, nullptr)) return "";
        return buffer + 4;
    }
    qv::testing::TempMachine machine_{qv::testing::MachineOptions::OnFirstUse()};
};

TEST_F(BusDriverLookupTest, DefaultMachineHasOneInterfacePerCard) {
    HDevInfo set = dev::GetClassDevsA(&kBusClass, nullptr, nullptr, kFlags);
    ASSERT_NE(set, kInvalidDevInfo);
    EXPECT_EQ(PathOf(set, 0), kLink0);
    EXPECT_EQ(PathOf(set, 1), kLink1);
    DeviceInterfaceData data;
    EXPECT_FALSE(dev::EnumDeviceInterfaces(set, nullptr, &kBusClass, 2, &data));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    EXPECT_FALSE(dev::EnumDeviceInterfaces(set, nullptr, &kGuidDevClassNet, 0, &data));  // another class
    EXPECT_TRUE(dev::DestroyDeviceInfoList(set));
}

TEST_F(BusDriverLookupTest, DetailFollowsTheBufferProtocol) {
    HDevInfo set = dev::GetClassDevsA(&kBusClass, nullptr, nullptr, kFlags);
    DeviceInterfaceData data;
    ASSERT_TRUE(dev::EnumDeviceInterfaces(set, nullptr, &kBusClass, 0, &data));
    uint32_t required = 0;
    EXPECT_FALSE(dev::GetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(required, 4 + std::strlen(kLink0) + 1);

    alignas(8) char buffer[300] = {};
    auto* detail = reinterpret_cast<DeviceInterfaceDetailDataA*>(buffer);
    detail->cbSize = 5;  // not the fixed part's size
    EXPECT_FALSE(dev::GetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
    detail->cbSize = kDeviceInterfaceDetailFixedSize;
    EXPECT_FALSE(dev::GetDeviceInterfaceDetailA(set, &data, detail, required - 1, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(buffer[required - 1], '\0');  // nothing written past the size given
    EXPECT_TRUE(dev::GetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
    EXPECT_STREQ(buffer + 4, kLink0);

    DeviceInterfaceData forged;
    forged.reserved = 99;
    EXPECT_FALSE(dev::GetDeviceInterfaceDetailA(set, &forged, detail, required, nullptr, nullptr));
    dev::DestroyDeviceInfoList(set);
}

TEST_F(BusDriverLookupTest, AbsentCardsAreLeftOutOfPresentSets) {
    ASSERT_TRUE(sim::WriteDeviceState(u"ROOT\\QVVBD\\0000", u"Present", 0));
    HDevInfo set = dev::GetClassDevsA(&kBusClass, nullptr, nullptr, kFlags);
    EXPECT_EQ(PathOf(set, 0), kLink1);
    EXPECT_EQ(PathOf(set, 1), "");
    dev::DestroyDeviceInfoList(set);
    set = dev::GetClassDevsA(&kBusClass, nullptr, nullptr, kDigcfDeviceInterface);  // all registered
    EXPECT_EQ(PathOf(set, 1), kLink1);
    dev::DestroyDeviceInfoList(set);

    EXPECT_EQ(io::CreateFileA(kLink0, kGenericRead, 0, kOpenExisting, 0), kInvalidDevice);  // absent
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(BusDriverLookupTest, OpensByDevicePathIgnoringCase) {
    std::string lower = kLink0;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    HDevice device = io::CreateFileA(lower.c_str(), kGenericRead, 0, kOpenExisting, 0);
    ASSERT_NE(device, kInvalidDevice);
    EXPECT_TRUE(std::filesystem::exists(sim::AdapterStateFile("ROOT\\QVVBD\\0000")));
    EXPECT_TRUE(io::CloseHandle(device));
    EXPECT_FALSE(io::CloseHandle(device));
    EXPECT_EQ(io::CreateFileA("\\\\?\\ROOT#QVVBD#0009#{x}", kGenericRead, 0, kOpenExisting, 0),
              kInvalidDevice);
    EXPECT_EQ(io::CreateFileA(nullptr, kGenericRead, 0, kOpenExisting, 0), kInvalidDevice);
}

TEST_F(BusDriverLookupTest, UnregisteredClassGivesAnEmptySet) {
    HDevInfo set = dev::GetClassDevsA(&kGuidDevClassNet, nullptr, nullptr, kFlags);
    ASSERT_NE(set, kInvalidDevInfo);
    DeviceInterfaceData data;
    EXPECT_FALSE(dev::EnumDeviceInterfaces(set, nullptr, &kGuidDevClassNet, 0, &data));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    dev::DestroyDeviceInfoList(set);
    EXPECT_EQ(dev::GetClassDevsA(&kBusClass, nullptr, nullptr, kDigcfPresent),
              kInvalidDevInfo);  // no interface flag
}

}  // namespace
}  // namespace qv
