// The simulated serial flash part alone, driven by SPI transfers as the bus driver hands them on.
#include "qv/sim/n5/serial_flash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kPart = 0x40000;  // an address in sector 4, page-aligned

class SerialFlashTest : public ::testing::Test {
  protected:
    void SetUp() override { PowerOnSerialFlash(f_.get()); }

    void Command(uint32_t opcode) { ASSERT_TRUE(SerialFlashWrite(f_.get(), 1, false, opcode)); }
    void Address(uint32_t opcode, uint32_t a) {
        SerialFlashWrite(f_.get(), 1, true, opcode);
        SerialFlashWrite(f_.get(), 3, true, (a >> 16 & 0xFF) | (a >> 8 & 0xFF) << 8 | (a & 0xFF) << 16);
    }
    uint8_t Status() {
        uint32_t value = 0;
        SerialFlashWrite(f_.get(), 1, true, 0x05);
        SerialFlashRead(f_.get(), 1, &value);
        return static_cast<uint8_t>(value);
    }
    // Polls until ready; the number of polls that read busy.
    uint32_t Wait() {
        uint32_t busy = 0;
        while ((Status() & kFlashStatusBusy) != 0 && busy < 1000) ++busy;
        return busy;
    }
    void Program(uint32_t a, const std::vector<uint8_t>& bytes) {
        Address(0x02, a);
        for (size_t i = 0; i < bytes.size(); ++i)
            SerialFlashWrite(f_.get(), 1, i + 1 < bytes.size(), bytes[i]);
    }
    // A whole program cycle: write enable, the page program, polls until ready.
    void ProgramEnabled(uint32_t a, const std::vector<uint8_t>& bytes) {
        Command(0x06);
        Program(a, bytes);
        Wait();
    }
    void Erase(uint32_t a) {
        SerialFlashWrite(f_.get(), 1, true, 0xD8);
        SerialFlashWrite(f_.get(), 3, false, a >> 16 & 0xFF);
    }
    uint8_t* Memory() { return f_->memory; }
    std::vector<uint8_t> Bytes(uint32_t a, uint32_t count) { return {Memory() + a, Memory() + a + count}; }

    std::unique_ptr<SerialFlash> f_ = std::make_unique<SerialFlash>();
};

TEST_F(SerialFlashTest, LatchRulesForProgramAndErase) {
    struct Case {
        const char* name;
        std::vector<uint32_t> before;  // one-byte commands sent first
        bool erase;
        bool takesEffect;
    };
    const Case cases[] = {
        {"program without write enable", {}, false, false},
        {"program after write enable", {0x06}, false, true},
        {"program after enable then disable", {0x06, 0x04}, false, false},
        {"erase without write enable", {}, true, false},
        {"erase after write enable", {0x06}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PowerOnSerialFlash(f_.get());
        Memory()[kPart] = 0x5A;
        for (uint32_t op : c.before) Command(op);
        if (c.erase) {
            Erase(kPart);
        } else {
            Program(kPart, {0x00});
        }
        EXPECT_EQ(Wait(), c.takesEffect ? (c.erase ? SerialFlashPart::kEraseBusyPolls
                                                   : SerialFlashPart::kProgramBusyPolls)
                                        : 0u);
        EXPECT_EQ(Memory()[kPart], c.takesEffect ? (c.erase ? 0xFF : 0x00) : 0x5A);
        EXPECT_EQ(Status(), 0) << "the latch is clear after the cycle, or was never set";
    }
}

TEST_F(SerialFlashTest, ProgrammingOnlyClearsBitsAndWrapsWithinItsPage) {
    ProgramEnabled(kPart, {0xF0});
    ProgramEnabled(kPart, {0x3F});
    EXPECT_EQ(Memory()[kPart], 0x30);

    // Four bytes from the page's last two wrap to its first two; the next page is untouched.
    ProgramEnabled(kPart + 0x1FE, {0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(Bytes(kPart + 0x1FE, 2), (std::vector<uint8_t>{0x01, 0x02}));
    EXPECT_EQ(Bytes(kPart + 0x100, 2), (std::vector<uint8_t>{0x03, 0x04}));
    EXPECT_EQ(Memory()[kPart + 0x200], 0xFF);

    // More than a page: the later bytes replace the earlier ones in the page latch.
    std::vector<uint8_t> bytes(257, 0xEE);
    bytes[256] = 0x11;
    ProgramEnabled(kPart + 0x300, bytes);
    EXPECT_EQ(Bytes(kPart + 0x300, 2), (std::vector<uint8_t>{0x11, 0xEE}));
}

TEST_F(SerialFlashTest, EraseSetsOneWholeSectorAndCommandsWaitWhileBusy) {
    std::fill_n(Memory() + kPart + kFlashSectorBytes - 1, 2, 0);
    Memory()[kPart] = 0;
    Command(0x06);
    Erase(kPart + 0x1234);
    EXPECT_EQ(Status(), kFlashStatusBusy | kFlashStatusWriteEnabled);
    Command(0x06);  // ignored while busy, as is a program
    Program(kPart, {0x00});
    EXPECT_EQ(Wait(), SerialFlashPart::kEraseBusyPolls - 1);
    EXPECT_EQ(Memory()[kPart], 0xFF);
    EXPECT_EQ(Bytes(kPart + kFlashSectorBytes - 1, 2), (std::vector<uint8_t>{0xFF, 0x00}));
    EXPECT_EQ(Status(), 0);
}

TEST_F(SerialFlashTest, ReadsSignatureAndDataAsTheRealPart) {
    uint32_t value = 0;
    ASSERT_TRUE(SerialFlashWrite(f_.get(), 4, true, 0xAB));
    ASSERT_TRUE(SerialFlashRead(f_.get(), 1, &value));
    EXPECT_EQ(value, SerialFlashPart::kSignature);

    Memory()[kFlashBytes - 2] = 0x11;
    Memory()[kFlashBytes - 1] = 0x22;
    Memory()[0] = 0x33;
    Memory()[1] = 0x44;
    Address(0x03, kFlashBytes - 2);
    ASSERT_TRUE(SerialFlashRead(f_.get(), 4, &value));
    EXPECT_EQ(value, 0x44332211u) << "first byte least significant, wrapping at the end of the part";

    ASSERT_TRUE(SerialFlashRead(f_.get(), 2, &value));  // nothing selected: the line idles high
    EXPECT_EQ(value, 0xFFFFu);
    EXPECT_FALSE(SerialFlashWrite(f_.get(), 0, false, 0x06));
    EXPECT_FALSE(SerialFlashWrite(f_.get(), 5, false, 0x06));
    EXPECT_FALSE(SerialFlashRead(f_.get(), 5, &value));
}

TEST_F(SerialFlashTest, FaultSwitches) {
    struct Case {
        const char* name;
        bool neverReady;
        bool writeEnableIgnored;
        uint8_t statusAfterEnable;
        uint8_t memoryAfterProgram;
        bool busyForGood;
    };
    const Case cases[] = {
        {"never ready", true, false, kFlashStatusWriteEnabled, 0x00, true},
        {"write enable not latched", false, true, 0, 0x5A, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PowerOnSerialFlash(f_.get());
        f_->faults.neverReady = c.neverReady;
        f_->faults.writeEnableIgnored = c.writeEnableIgnored;
        Memory()[kPart] = 0x5A;
        Command(0x06);
        EXPECT_EQ(Status(), c.statusAfterEnable);
        Program(kPart, {0x00});
        EXPECT_EQ(Memory()[kPart], c.memoryAfterProgram);
        EXPECT_EQ(Wait(), c.busyForGood ? 1000u : 0u);
        f_->faults = {};
        Wait();
        EXPECT_EQ(Status(), 0) << "a stuck cycle completes once the fault is off";
    }
}

}  // namespace
}  // namespace qv::sim::n5
