// The request records byte by byte and the request codes.
#include <gtest/gtest.h>

#include <cstring>

#include "qv/qvtool/ioctl_records.h"

namespace qv::qvtool {
namespace {

template <typename Record, size_t N>
void ExpectBytes(const Record& record, const uint8_t (&expected)[N]) {
    static_assert(sizeof(Record) == N);
    uint8_t actual[N];
    std::memcpy(actual, &record, N);
    for (size_t i = 0; i < N; ++i) EXPECT_EQ(actual[i], expected[i]) << "byte " << i;
}

TEST(RequestRecords, RegisterRecordIsOffsetThenValueLittleEndian) {
    const RegisterRecord record{0x11223344, 0xAABBCCDD};
    const uint8_t expected[] = {0x44, 0x33, 0x22, 0x11, 0xDD, 0xCC, 0xBB, 0xAA};
    ExpectBytes(record, expected);
}

TEST(RequestRecords, MdioRecordIsPortDeviceRegisterValue) {
    const MdioRecord record{0x01, kMdioNoDevice, 0x1234, 0xABCD};
    const uint8_t expected[] = {0x01, 0xFF, 0x34, 0x12, 0xCD, 0xAB};
    ExpectBytes(record, expected);
}

TEST(RequestRecords, FlashTransferRecordIsCountKeepReservedThenData) {
    const FlashTransferRecord record{3, 1, 0, 0x00070000};
    const uint8_t expected[] = {0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00};
    ExpectBytes(record, expected);
}

TEST(RequestRecords, CodesAreDeviceType6800AndFourTimesTheFunction) {
    EXPECT_EQ(IoControlCode(IoFunction::kRegisterRead), 0x68000004u);
    EXPECT_EQ(IoControlCode(IoFunction::kRegisterWrite), 0x68000008u);
    EXPECT_EQ(IoControlCode(IoFunction::kConfigRead), 0x6800000Cu);
    EXPECT_EQ(IoControlCode(IoFunction::kConfigWrite), 0x68000010u);
    EXPECT_EQ(IoControlCode(IoFunction::kFlashRead), 0x68000014u);
    EXPECT_EQ(IoControlCode(IoFunction::kFlashWrite), 0x68000018u);
    EXPECT_EQ(IoControlCode(IoFunction::kMdioRead), 0x6800001Cu);
    EXPECT_EQ(IoControlCode(IoFunction::kMdioWrite), 0x68000020u);
}

}  // namespace
}  // namespace qv::qvtool
