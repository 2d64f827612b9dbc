// The transport primitives against the simulated bus driver, including the driver's reading of
// raw record bytes.
#include "qv/qvtool/transport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/ioctl_records.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

class TransportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        adapter_ = test::OpenSimulatedAdapter(0);
        ASSERT_NE(adapter_, nullptr);
        HDevInfo set = dev::GetClassDevsA(&kGuidBusDriverInterface, nullptr, nullptr,
                                          kDigcfPresent | kDigcfDeviceInterface);
        ASSERT_NE(set, kInvalidDevInfo);
        DeviceInterfaceData data;
        ASSERT_TRUE(dev::EnumDeviceInterfaces(set, nullptr, &kGuidBusDriverInterface, 0, &data));
        alignas(8) char buffer[256] = {};
        auto* detail = reinterpret_cast<DeviceInterfaceDetailDataA*>(buffer);
        detail->cbSize = kDeviceInterfaceDetailFixedSize;
        ASSERT_TRUE(dev::GetDeviceInterfaceDetailA(set, &data, detail, sizeof buffer, nullptr, nullptr));
        device_ = io::CreateFileA(buffer + 4, kGenericRead, 0, kOpenExisting, 0);
        ASSERT_NE(device_, kInvalidDevice);
        dev::DestroyDeviceInfoList(set);
    }
    void TearDown() override {
        if (device_ != kInvalidDevice) io::CloseHandle(device_);
    }

    test::TempMachine machine_{test::MachineOptions::OnFirstUse()};
    std::unique_ptr<sim::n5::Adapter> adapter_;
    HDevice device_ = kInvalidDevice;
};

TEST_F(TransportTest, DriverReadsAndAnswersRawRecordBytes) {
    adapter_->PokeRegister(0x6E4, 0xCAFEF00D);
    uint8_t record[8] = {0xE4, 0x06, 0x00, 0x00, 0x11, 0x11, 0x11, 0x11};
    uint32_t returned = 0;
    ASSERT_TRUE(io::DeviceIoControl(device_, 0x68000004, record, 8, record, 8, &returned));
    EXPECT_EQ(returned, 8u);
    const uint8_t answer[8] = {0xE4, 0x06, 0x00, 0x00, 0x0D, 0xF0, 0xFE, 0xCA};
    EXPECT_EQ(std::memcmp(record, answer, 8), 0);

    uint8_t mdio[6] = {0x02, 0x04, 0x21, 0x00, 0x34, 0x12};  // port 2, device 4, register 0x21, 0x1234
    ASSERT_TRUE(io::DeviceIoControl(device_, 0x68000020, mdio, 6, mdio, 6, &returned));
    uint16_t value = 0;
    ASSERT_TRUE(adapter_->ReadMdio(2, 4, 0x21, &value));
    EXPECT_EQ(value, 0x1234);
}

TEST_F(TransportTest, PrimitivesReturnZeroOrOneAndZeroTheValueOfAFailedRead) {
    uint32_t value = 0xFFFFFFFF;
    EXPECT_EQ(RegisterWrite(device_, 0x6E0, 0x1234), kStatusSuccess);
    EXPECT_EQ(RegisterRead(device_, 0x6E0, &value), kStatusSuccess);
    EXPECT_EQ(value, 0x1234u);

    adapter_->SetFunctionFails(1, true);
    value = 0xFFFFFFFF;
    EXPECT_EQ(RegisterRead(device_, 0x6E0, &value), kStatusFailure);
    EXPECT_EQ(value, 0u);
    adapter_->SetRegisterWriteFails(0x6E0, true);
    EXPECT_EQ(RegisterWrite(device_, 0x6E0, 1), kStatusFailure);
    EXPECT_EQ(adapter_->PeekRegister(0x6E0), 0x1234u);

    EXPECT_EQ(ConfigRead(device_, 0x100, &value), kStatusFailure);  // beyond configuration space
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(ConfigRead(device_, 0x0, &value), kStatusSuccess);
    EXPECT_EQ(value, 0x00055A5Au);
}

TEST_F(TransportTest, IndirectReadGoesThroughIndexAndDataRegisters) {
    adapter_->state().indirect[0x123] = 0x600DD00D;
    uint32_t value = 0;
    EXPECT_EQ(IndirectRead(device_, 0x123, &value), kStatusSuccess);
    EXPECT_EQ(value, 0x600DD00Du);
    EXPECT_EQ(adapter_->PeekRegister(kIndirectIndexRegister), 0x123u);

    adapter_->SetRegisterWriteFails(kIndirectIndexRegister, true);  // stops before the data read
    const uint64_t before = adapter_->state().counters.requests;
    EXPECT_EQ(IndirectRead(device_, 0x124, &value), kStatusFailure);
    EXPECT_EQ(adapter_->state().counters.requests, before + 1);
    EXPECT_EQ(value, 0u);
}

TEST_F(TransportTest, UnusedFunctionIsNotSupportedAndBadCodesRefused) {
    uint8_t buffer[16] = {};
    uint32_t returned = 7;
    EXPECT_FALSE(
        io::DeviceIoControl(device_, CtlCodeBuffered(0x6800, 27), buffer, 16, buffer, 16, &returned));
    EXPECT_EQ(GetLastError(), kErrorNotSupported);
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(io::DeviceIoControl(device_, CtlCodeBuffered(0x1234, 1), buffer, 8, buffer, 8, &returned));
    EXPECT_FALSE(
        io::DeviceIoControl(device_, 0x68000004, buffer, 4, buffer, 4, &returned));  // record too short
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_FALSE(io::DeviceIoControl(kInvalidDevice, 0x68000004, buffer, 8, buffer, 8, &returned));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

}  // namespace
}  // namespace qv::qvtool
