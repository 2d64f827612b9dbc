// The simulated JTAG chain alone: TAP controllers, IR and DR paths, the configuration sink, and
// the master's registers.
#include "qv/sim/n5/jtag_chain.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace qv::sim::n5 {
namespace {

constexpr JtagDeviceProfile kFpga = {.idcode = 0x1127E093,
                                     .irLength = 14,
                                     .idcodeInstruction = 0x3FC9,
                                     .configureInstruction = 0x3FC5,
                                     .configBits = 64};
constexpr JtagDeviceProfile kProm = {.idcode = 0xF5057093,
                                     .irLength = 8,
                                     .idcodeInstruction = 0xFE,
                                     .configureInstruction = 0,
                                     .configBits = 0x800000};

class JtagChainTest : public ::testing::Test {
  protected:
    void SetUp() override {
        jtag_ = std::make_unique<JtagState>();
        PowerOnJtag(jtag_.get());
    }
    void Set(std::vector<JtagDeviceProfile> devices) { ASSERT_TRUE(SetJtagChain(jtag_.get(), devices)); }
    void Tms(std::initializer_list<int> bits) {
        for (const int b : bits) ClockJtagChain(jtag_.get(), b != 0, false);
    }
    // Shifts count bits of value (bit 0 first) with TMS 0, the last with lastTms; returns TDO.
    uint64_t Shift(uint64_t value, int count, bool lastTms = false) {
        uint64_t out = 0;
        for (int i = 0; i < count; ++i) {
            const bool tdo = ClockJtagChain(jtag_.get(), lastTms && i + 1 == count, ((value >> i) & 1u) != 0);
            out |= static_cast<uint64_t>(tdo) << i;
        }
        return out;
    }
    void ResetToIdle() { Tms({1, 1, 1, 1, 1, 0}); }
    void IdleToShiftDr() { Tms({1, 0, 0}); }
    void IdleToShiftIr() { Tms({1, 1, 0, 0}); }
    uint8_t Tap(uint32_t k) const { return jtag_->devices[k].tap; }
    // A master register as the host reads it; a read that fails fails the test.
    uint32_t Read(uint32_t offset) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_TRUE(JtagReadRegister(jtag_.get(), offset, &value)) << std::hex << offset;
        return value;
    }

    std::unique_ptr<JtagState> jtag_;
};

TEST_F(JtagChainTest, FiveTmsOnesResetFromEveryState) {
    for (uint8_t from = 0; from < 16; ++from) {
        SCOPED_TRACE(TapStateName(from));
        uint8_t s = from;
        for (int i = 0; i < 5; ++i) s = NextTapState(s, true);
        EXPECT_EQ(s, kTapTestLogicReset);
    }
    // A few walks of the diagram, through the chain's own controllers.
    Set({kFpga});
    ResetToIdle();
    EXPECT_EQ(Tap(0), kTapRunTestIdle);
    IdleToShiftIr();
    EXPECT_EQ(Tap(0), kTapShiftIr);
    Tms({1, 0, 1, 1});  // Exit1-IR, Pause-IR, Exit2-IR, Update-IR
    EXPECT_EQ(Tap(0), kTapUpdateIr);
    Tms({1, 0, 0, 1, 0, 1, 0});  // Select-DR, Capture-DR, Shift-DR, Exit1, Pause, Exit2, Shift-DR
    EXPECT_EQ(Tap(0), kTapShiftDr);
}

TEST_F(JtagChainTest, IdcodesShiftOutDeviceZeroFirstAfterReset) {
    Set({kFpga, kProm});
    Tms({0, 1, 0, 0, 1, 1, 1, 1, 1, 0});  // wander, then reset
    IdleToShiftDr();
    EXPECT_EQ(Shift(0, 32), kFpga.idcode);
    EXPECT_EQ(Shift(0xA5, 32), kProm.idcode);
    EXPECT_EQ(Shift(0, 32), 0u);  // what came in at TDI follows the chain's 64 bits
    EXPECT_EQ(Shift(0, 32), 0xA5u);

    PowerOnJtag(jtag_.get());  // an empty chain is a wire
    EXPECT_EQ(Shift(0x5A, 8), 0x5Au);
}

TEST_F(JtagChainTest, InstructionRegistersCaptureOneAndSelectBypass) {
    Set({kFpga, kProm});
    ResetToIdle();
    IdleToShiftIr();
    // The captured 0b...01 of both registers comes out first: the FPGA's 14 bits, then the PROM's 8.
    EXPECT_EQ(Shift(0xFFFFFF, 22, true), 1u | (1u << 14));
    Tms({1, 0});  // Update-IR, Run-Test/Idle
    EXPECT_EQ(jtag_->devices[0].instruction, 0x3FFFu);
    EXPECT_EQ(jtag_->devices[1].instruction, 0xFFu);
    IdleToShiftDr();
    // Two bypass stages: a two-clock delay, behind the two zeros they captured.
    EXPECT_EQ(Shift(0b1011, 6), 0b101100u);
}

TEST_F(JtagChainTest, ConfigureInstructionMakesASinkThatKeepsItsBits) {
    Set({kFpga});
    ResetToIdle();
    IdleToShiftIr();
    Shift(kFpga.configureInstruction, 14, true);
    Tms({1, 0});
    IdleToShiftDr();
    Shift(0x4433AA0Full, 40);  // bit 0 first; kept most significant bit first: F0 55 CC 22 00
    uint64_t bits = 0;
    std::vector<uint8_t> got = JtagReceivedBytes(*jtag_, 0, &bits);
    EXPECT_EQ(bits, 40u);
    EXPECT_EQ(got, (std::vector<uint8_t>{0xF0, 0x55, 0xCC, 0x22, 0x00}));
    Shift(~0ull, 40);  // beyond the 64 configuration bits: counted, not kept
    got = JtagReceivedBytes(*jtag_, 0, &bits);
    EXPECT_EQ(bits, 80u);
    EXPECT_EQ(got, (std::vector<uint8_t>{0xF0, 0x55, 0xCC, 0x22, 0x00, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(JtagReceivedBytes(*jtag_, 1, &bits).empty());
}

TEST_F(JtagChainTest, MasterRegistersClockTheChain) {
    Set({kFpga});
    JtagWriteRegister(jtag_.get(), 0x6C8, 0);
    JtagWriteRegister(jtag_.get(), 0x6CC, 6);  // disabled: nothing happens
    EXPECT_EQ(jtag_->clocks, 0u);
    JtagWriteRegister(jtag_.get(), 0x6C0, 29);
    EXPECT_EQ(Read(0x6C0) & 1u, 1u);
    JtagWriteRegister(jtag_.get(), 0x6C4, 0x1F);
    JtagWriteRegister(jtag_.get(), 0x6CC, 6);
    EXPECT_EQ(Read(0x6C4), 0u);  // the pattern is consumed
    for (uint32_t i = 0; i < kJtagOpBusyReads; ++i) EXPECT_NE(Read(0x6CC) & 0x1F, 0u) << i;
    EXPECT_EQ(Read(0x6CC) & 0x1F, 0u);
    EXPECT_EQ(Tap(0), kTapRunTestIdle);
    JtagWriteRegister(jtag_.get(), 0x6C4, 1);
    JtagWriteRegister(jtag_.get(), 0x6CC, 3);
    JtagWriteRegister(jtag_.get(), 0x6CC, 0);  // 32 clocks
    EXPECT_EQ(Read(0x6C8), kFpga.idcode);
    EXPECT_EQ(jtag_->clocks, 6u + 3u + 32u);

    jtag_->faults.neverCompletes = 1;
    JtagWriteRegister(jtag_.get(), 0x6CC, 1);
    for (int i = 0; i < 4999; ++i) Read(0x6CC);
    EXPECT_NE(Read(0x6CC) & 0x1F, 0u);
    EXPECT_FALSE(JtagWriteRegister(jtag_.get(), 0x6D0, 1));
}

TEST_F(JtagChainTest, ChainLimitsAndCaptureSpace) {
    std::vector<JtagDeviceProfile> many(kJtagMaxDevices + 1, kFpga);
    EXPECT_FALSE(SetJtagChain(jtag_.get(), many));
    JtagDeviceProfile bad = kFpga;
    bad.irLength = 33;
    EXPECT_FALSE(SetJtagChain(jtag_.get(), std::vector<JtagDeviceProfile>{bad}));
    // Large devices share the capture space in chain order; what is left over gets nothing.
    JtagDeviceProfile big = kFpga;
    big.configBits = 0x00B51860;
    Set({big, big});
    EXPECT_EQ(jtag_->devices[0].captureBytes, (0x00B51860u + 7) / 8);
    EXPECT_EQ(jtag_->devices[1].captureBytes, kJtagCaptureBytes - (0x00B51860u + 7) / 8);
}

}  // namespace
}  // namespace qv::sim::n5
