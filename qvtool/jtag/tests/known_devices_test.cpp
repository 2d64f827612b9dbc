// The known devices table's invariants: what the chain query, the instruction shifts and the
// download rely on.
#include "qv/qvtool/jtag/known_devices.h"

#include <gtest/gtest.h>

#include <cstring>

#include "qv/qvtool/jtag/fpga_download.h"

namespace qv::qvtool {
namespace {

TEST(KnownJtagDevices, RowsFitTheChainTableAndTheMaster) {
    ASSERT_EQ(KnownJtagDevices().size(), 9u);
    for (const JtagDevice& d : KnownJtagDevices()) {
        SCOPED_TRACE(d.name);
        EXPECT_LE(std::strlen(d.name), kJtagDeviceNameMax);
        // Instructions are shifted in one operation of at most 32 clocks, the last entry's with one
        // clock less (its top bit goes with the exit), so at least two bits.
        EXPECT_GE(d.irLength, 2u);
        EXPECT_LE(d.irLength, 32u);
        EXPECT_EQ(d.idcodeInstruction >> d.irLength, 0u);
        EXPECT_EQ(d.configureInstruction >> d.irLength, 0u);
        EXPECT_EQ(d.idcode & 1u, 1u);  // an IDCODE's bit 0 is always 1: never the end of the chain
        EXPECT_EQ(JtagConfigBytes(d), (d.configBits + 7) / 8);
        EXPECT_LE(JtagConfigBytes(d), LargestJtagConfigBytes());
        EXPECT_GT(d.configBits, 0u);
    }
    EXPECT_EQ(LargestJtagConfigBytes(), (0x020B4460u + 7) / 8);
    EXPECT_EQ(JtagConfigBytes({.name = "odd", .configBits = 9}), 2u);
}

TEST(KnownJtagDevices, LookupTakesTheFirstMatchingRow) {
    const auto devices = KnownJtagDevices();
    for (const JtagDevice& d : devices) {
        const JtagDevice* found = FindJtagDevice(d.idcode);
        ASSERT_NE(found, nullptr);
        EXPECT_LE(found, &d);  // an earlier row with the same IDCODE wins
        EXPECT_EQ(found->idcode, d.idcode);
    }
    // The second XCF08P row (8-bit instruction register) is never chosen.
    EXPECT_EQ(FindJtagDevice(0xF5057093)->irLength, 16u);
    EXPECT_EQ(FindJtagDevice(0x112BA093), &devices[7]);
    EXPECT_EQ(FindJtagDeviceByName("XC2VP30")->idcode, 0x1127E093u);
    EXPECT_EQ(FindJtagDevice(0), nullptr);
    EXPECT_EQ(FindJtagDevice(0xFFFFFFFF), nullptr);
    EXPECT_EQ(FindJtagDeviceByName("XC2VP3"), nullptr);
}

TEST(BitStreamWord, MostSignificantBitOfTheFirstByteShiftsFirst) {
    struct Case {
        uint8_t bytes[4];
        uint32_t word;
    };
    const Case cases[] = {
        {{0x11, 0x22, 0x33, 0x44}, 0x22CC4488},
        {{0x80, 0x00, 0x00, 0x00}, 0x00000001},
        {{0x00, 0x00, 0x00, 0x01}, 0x80000000},
        {{0xAA, 0x99, 0x55, 0x66}, 0x66AA9955},  // a configuration sync word
        {{0x05, 0x00, 0x00, 0x00}, 0x000000A0},  // a padded last group
    };
    for (const Case& c : cases) EXPECT_EQ(BitStreamWord(c.bytes), c.word) << std::hex << c.word;
}

}  // namespace
}  // namespace qv::qvtool
