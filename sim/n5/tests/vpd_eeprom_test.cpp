// The simulated VPD EEPROM alone, driven through configuration space as the bus driver hands the
// requests on: completion of reads and writes, address masking, the read-only bytes, the default
// contents and the two faults.
#include "qv/sim/n5/vpd_eeprom.h"

#include <gtest/gtest.h>

#include <cstring>

#include "qv/sim/n5/adapter.h"
#include "qv/testing/temp_dir.h"

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kCap = 0x94;  // where the default configuration space has the capability

class VpdEepromTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.ok());
        int32_t error = 0;
        a_ = Adapter::Open(temp_.path() / "adapter.n5", &error);
        ASSERT_NE(a_, nullptr);
    }
    uint32_t Config(uint32_t offset) {
        uint32_t value = 0;
        EXPECT_TRUE(a_->ReadConfig(offset, &value));
        return value;
    }
    // Polls the address register until the flag reads `flag`; the number of polls that did not.
    uint32_t PollsUntil(bool flag) {
        uint32_t polls = 0;
        while (((Config(kCap) >> 31) != 0) != flag && polls < 100) ++polls;
        return polls;
    }
    uint8_t* Memory() { return a_->state().vpd.memory; }
    // The capability found by walking the list from 0x34; 0 when the walk does not reach it.
    uint32_t WalkToVpd() {
        uint32_t pointer = Config(0x34) & 0xFF;
        for (int hops = 0; pointer >= 0x40 && hops < 48; ++hops) {
            const uint32_t word = Config(pointer & ~3u);
            if ((word & 0xFF) == kVpdCapabilityId) return pointer;
            pointer = (word >> 8) & 0xFF;
        }
        return 0;
    }

    qv::testing::TempDir temp_{"vpd-test"};
    std::unique_ptr<Adapter> a_;
};

TEST_F(VpdEepromTest, ReadsCompleteAfterTheBusyPollsAtTheMaskedWordAddress) {
    const struct {
        uint32_t address;  // as written into the address register
        uint32_t word;     // the word it reads
    } cases[] = {
        {0x0000, 0x0000},
        {0x1002, 0x1000},  // the low two bits select nothing
        {0x7FFF, 0x7FFC},  // bit 15 is the flag, so the address has 15 bits
        {0x4000, 0x4000},
    };
    for (const auto& c : cases) {
        std::memcpy(Memory() + c.word, "\x11\x22\x33\x44", 4);
        ASSERT_TRUE(a_->WriteConfig(kCap, c.address << 16 | 0xFFFF));
        EXPECT_EQ(PollsUntil(true), VpdEepromPart::kBusyPolls) << c.address;
        EXPECT_EQ(Config(kCap + 4), 0x44332211u) << c.address;
        EXPECT_EQ(Config(kCap), ((c.address & 0x7FFF) | 0x8000) << 16 | 0x0003) << "id and next pointer kept";
    }
    EXPECT_EQ(a_->state().vpd.wordsRead, 4u);
}

TEST_F(VpdEepromTest, WritesCompleteAfterTheBusyPollsAndANewAccessReplacesARunningOne) {
    std::memset(Memory() + 0x1940, 0, 8);
    ASSERT_TRUE(a_->WriteConfig(kCap + 4, 0xCAFEF00D));
    ASSERT_TRUE(a_->WriteConfig(kCap, (0x1940u | kVpdFlag) << 16));
    EXPECT_EQ(Memory()[0x1940], 0) << "nothing written before completion";
    EXPECT_EQ(PollsUntil(false), VpdEepromPart::kBusyPolls);
    uint32_t stored = 0;
    std::memcpy(&stored, Memory() + 0x1940, 4);
    EXPECT_EQ(stored, 0xCAFEF00Du);
    EXPECT_EQ(a_->state().vpd.wordsWritten, 1u);

    // A read started while a write runs replaces it: the write never happens.
    ASSERT_TRUE(a_->WriteConfig(kCap + 4, 0x12345678));
    ASSERT_TRUE(a_->WriteConfig(kCap, (0x1944u | kVpdFlag) << 16));
    ASSERT_TRUE(a_->WriteConfig(kCap, 0x1940u << 16));
    EXPECT_EQ(PollsUntil(true), VpdEepromPart::kBusyPolls);
    EXPECT_EQ(Config(kCap + 4), 0xCAFEF00Du);
    EXPECT_EQ(a_->state().vpd.wordsWritten, 1u);
}

TEST_F(VpdEepromTest, DefaultContentsHoldAnIdentifierChecksummedFieldsAndTheProtectionWord) {
    const uint8_t* m = Memory();
    ASSERT_EQ(m[0], 0x82);
    const uint32_t nameLength = m[1] | m[2] << 8;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m + 3), nameLength),
              "Quorvex n5 Gigabit Server Adapter");
    const uint32_t fields = 3 + nameLength;
    ASSERT_EQ(m[fields], 0x90);
    const uint32_t end = fields + 3 + (m[fields + 1] | m[fields + 2] << 8);
    EXPECT_EQ(m[end], 0x78);
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(m + end - 4), 2), "RV");
    uint8_t sum = 0;
    for (uint32_t i = 0; i < end; ++i) sum = static_cast<uint8_t>(sum + m[i]);
    EXPECT_EQ(sum, 0) << "bytes through the checksum add up to 0";
    uint32_t protection = 0;
    std::memcpy(&protection, m + kVpdProtectionWordAddress, 4);
    EXPECT_EQ(protection, kVpdProtectionWordDefault);
    EXPECT_EQ(WalkToVpd(), kCap);
}

TEST_F(VpdEepromTest, FaultsHideTheCapabilityOrStopEveryAccess) {
    a_->SetVpdNeverCompletes(true);
    ASSERT_TRUE(a_->WriteConfig(kCap, 0x10u << 16));
    EXPECT_EQ(PollsUntil(true), 100u);
    ASSERT_TRUE(a_->WriteConfig(kCap, (0x10u | kVpdFlag) << 16));
    EXPECT_EQ(PollsUntil(false), 100u);
    EXPECT_EQ(a_->state().vpd.wordsWritten + a_->state().vpd.wordsRead, 0u);

    a_->ClearFaults();
    EXPECT_EQ(a_->state().vpd.faults.neverCompletes, 0);
    a_->SetVpdAbsent(true);
    const uint32_t express = Config(0x60);
    EXPECT_EQ(express & 0xFFFF, 0x0010u) << "the PCI Express capability ends the list";
    EXPECT_EQ(WalkToVpd(), 0u);
    EXPECT_EQ(Config(kCap), 0u);
    EXPECT_EQ(Config(kCap + 4), 0u);
    const uint64_t before = a_->state().vpd.wordsRead;
    ASSERT_TRUE(a_->WriteConfig(kCap, 0));  // nothing there to take it
    for (int i = 0; i < 5; ++i) Config(kCap);
    EXPECT_EQ(a_->state().vpd.wordsRead, before);

    a_->SetVpdAbsent(false);
    EXPECT_EQ(WalkToVpd(), kCap);
}

}  // namespace
}  // namespace qv::sim::n5
