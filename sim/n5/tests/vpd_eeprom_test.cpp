// The simulated VPD EEPROM alone, driven through configuration space as the bus driver hands the
// requests on: completion of reads and writes, address masking, the default contents, the faults.
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
    // Reads of the address register that show the flag other than `flag` (at most 100).
    uint32_t PollsUntil(bool flag) {
        uint32_t polls = 0;
        while (((Config(kCap) >> 31) != 0) != flag && polls < 100) ++polls;
        return polls;
    }
    // The capability with id 3 on the list from 0x34; 0 when the list does not reach it.
    uint32_t WalkToVpd() {
        uint32_t pointer = Config(0x34) & 0xFF;
        for (int hops = 0; pointer >= 0x40 && hops < 48; pointer = (Config(pointer) >> 8) & 0xFF, ++hops) {
            if ((Config(pointer) & 0xFF) == kVpdCapabilityId) return pointer;
        }
        return 0;
    }
    uint8_t* Memory() { return a_->state().vpd.memory; }

    qv::testing::TempDir temp_{"vpd-test"};
    std::unique_ptr<Adapter> a_;
};

TEST_F(VpdEepromTest, ReadsAndWritesCompleteAfterTheBusyPollsAtTheMaskedWordAddress) {
    const struct {
        uint32_t address;  // as written into the address register
        uint32_t word;     // the word it reaches
    } cases[] = {{0x0000, 0x0000}, {0x1002, 0x1000}, {0x7FFF, 0x7FFC}, {0x4000, 0x4000}};
    for (const auto& c : cases) {
        std::memcpy(Memory() + c.word, "\x11\x22\x33\x44", 4);
        ASSERT_TRUE(a_->WriteConfig(kCap, c.address << 16 | 0xFFFF));
        EXPECT_EQ(PollsUntil(true), VpdEepromPart::kBusyPolls) << c.address;
        EXPECT_EQ(Config(kCap + 4), 0x44332211u) << c.address;
        EXPECT_EQ(Config(kCap), (c.address | kVpdFlag) << 16 | 0x0003) << "id and next pointer are read-only";

        ASSERT_TRUE(a_->WriteConfig(kCap + 4, 0xCAFEF00D));
        ASSERT_TRUE(a_->WriteConfig(kCap, (c.address | kVpdFlag) << 16));
        EXPECT_EQ(Memory()[c.word], 0x11) << "nothing written before completion";
        EXPECT_EQ(PollsUntil(false), VpdEepromPart::kBusyPolls) << c.address;
        EXPECT_EQ(std::memcmp(Memory() + c.word, "\x0D\xF0\xFE\xCA", 4), 0) << c.address;
    }
    EXPECT_EQ(a_->state().vpd.wordsRead, 4u);
    EXPECT_EQ(a_->state().vpd.wordsWritten, 4u);

    // A read started while a write runs replaces it.
    ASSERT_TRUE(a_->WriteConfig(kCap, (0x10u | kVpdFlag) << 16));
    ASSERT_TRUE(a_->WriteConfig(kCap, 0x10u << 16));
    EXPECT_EQ(PollsUntil(true), VpdEepromPart::kBusyPolls);
    EXPECT_EQ(a_->state().vpd.wordsWritten, 4u);
}

TEST_F(VpdEepromTest, DefaultContentsHoldAnIdentifierChecksummedFieldsAndTheProtectionWord) {
    const uint8_t* m = Memory();
    ASSERT_EQ(m[0], 0x82);
    const uint32_t name = m[1] | m[2] << 8;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m + 3), name), "Quorvex n5 Gigabit Server Adapter");
    ASSERT_EQ(m[3 + name], 0x90);
    const uint32_t end = 3 + name + 3 + (m[4 + name] | m[5 + name] << 8);
    EXPECT_EQ(m[end], 0x78);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m + end - 4), 2), "RV");
    uint8_t sum = 0;
    for (uint32_t i = 0; i < end; ++i) sum = static_cast<uint8_t>(sum + m[i]);
    EXPECT_EQ(sum, 0) << "bytes through the checksum add up to 0";
    EXPECT_EQ(std::memcmp(m + kVpdProtectionWordAddress, "\x0C\0\0\0", 4), 0);
    EXPECT_EQ(WalkToVpd(), kCap);
}

TEST_F(VpdEepromTest, FaultsHideTheCapabilityOrStopEveryAccess) {
    a_->SetVpdNeverCompletes(true);
    for (uint32_t flag : {0u, kVpdFlag}) {
        ASSERT_TRUE(a_->WriteConfig(kCap, (0x10u | flag) << 16));
        EXPECT_EQ(PollsUntil(flag == 0), 100u) << flag;
    }
    EXPECT_EQ(a_->state().vpd.wordsWritten + a_->state().vpd.wordsRead, 0u);

    a_->ClearFaults();
    a_->SetVpdAbsent(true);
    EXPECT_EQ(Config(0x60) & 0xFFFF, 0x0010u) << "the PCI Express capability ends the list";
    EXPECT_EQ(WalkToVpd(), 0u);
    EXPECT_EQ(Config(kCap) | Config(kCap + 4), 0u);
    ASSERT_TRUE(a_->WriteConfig(kCap, 0));  // nothing there to take it
    for (int i = 0; i < 5; ++i) Config(kCap);
    EXPECT_EQ(a_->state().vpd.wordsRead, 0u);
    a_->SetVpdAbsent(false);
    EXPECT_EQ(WalkToVpd(), kCap);
}

}  // namespace
}  // namespace qv::sim::n5
