// The simulated adapter's connection memory behind function 25 and its TP logic analyser: which
// bytes are stored and which computed, the bases the registers set, and the moving write pointer.
#include "qv/sim/n5/connection_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../request_record.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/n5/adapter.h"
#include "qv/testing/temp_dir.h"

namespace qv::sim::n5 {
namespace {

class ConnectionMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.ok());
        int32_t error = 0;
        adapter_ = Adapter::Open(temp_.path() / "a.n5", &error);
        ASSERT_NE(adapter_, nullptr);
    }
    // Function 25 with a record of inSize bytes and an output buffer of capacity bytes.
    int32_t Read(uint32_t kind, uint32_t address, uint32_t length, uint32_t capacity,
                 std::vector<uint8_t>* out, uint32_t inSize = 20) {
        std::vector<uint8_t> buffer(std::max<uint32_t>(capacity, 20));
        Put32(buffer.data(), 0x68000064);
        Put32(buffer.data() + 4, kind);
        Put32(buffer.data() + 8, address);
        Put32(buffer.data() + 12, length);
        uint32_t returned = 0;
        const int32_t status = adapter_->HandleRequest(25, buffer.data(), inSize, capacity, &returned);
        out->assign(buffer.begin(), buffer.begin() + returned);
        return status;
    }

    qv::testing::TempDir temp_{"n5-connection"};
    std::unique_ptr<Adapter> adapter_;
};

TEST_F(ConnectionMemoryTest, AnswersStoredObjectsAndAPatternBeyondThem) {
    ConnectionMemory& m = adapter_->state().connections;
    std::vector<uint8_t> out;
    ASSERT_EQ(Read(0, 5 * 128, 128, 128, &out), kErrorSuccess);
    EXPECT_EQ(out, std::vector<uint8_t>(m.tcb + 5 * 128, m.tcb + 6 * 128));
    // A TCB past the stored ones, across the end of the stored ones.
    ASSERT_EQ(Read(0, kSimTcbCount * 128 - 2, 4, 4, &out), kErrorSuccess);
    EXPECT_EQ(out[1], m.tcb[sizeof m.tcb - 1]);
    EXPECT_EQ(out[2], ConnectionMemoryPattern(0, kSimTcbCount * 128));
    EXPECT_EQ(out[3], ConnectionMemoryPattern(0, kSimTcbCount * 128 + 1));

    // The WRCs follow sdram_base_addr; the STag entries tpt_llimit.
    adapter_->PokeRegister(kRegSdramBaseAddr, 0x20000000);
    ASSERT_EQ(Read(0, 0x20300000 + 2848, 2848, 2848, &out), kErrorSuccess);
    EXPECT_EQ(0, std::memcmp(out.data(), m.wrc + 2848, 2848));
    adapter_->PokeRegister(kRegTptLowerLimit, 0x1000);
    m.stag[32] = 0xA5;
    ASSERT_EQ(Read(1, 0x1000 + 32, 32, 32, &out), kErrorSuccess);
    EXPECT_EQ(out[0], 0xA5);
    ASSERT_EQ(Read(0, 0x1000 + 32, 1, 1, &out), kErrorSuccess);
    EXPECT_EQ(out[0], m.tcb[0x1020]) << "kind 0 at the same address is connection memory";
}

TEST_F(ConnectionMemoryTest, RefusesShortRecordsAndUnknownKindsAndCapsTheLength) {
    std::vector<uint8_t> out;
    EXPECT_EQ(Read(0, 0, 128, 128, &out, 19), kErrorInsufficientBuffer);
    EXPECT_EQ(Read(2, 0, 128, 128, &out), kErrorInvalidParameter);
    ASSERT_EQ(Read(0, 0, 0xFFFFFFFF, 64, &out), kErrorSuccess);
    EXPECT_EQ(out.size(), 64u) << "no more than the output buffer";
}

TEST_F(ConnectionMemoryTest, LogicAnalyserComposesTheWritePointerAndReadsAtTheReadPointer) {
    TpLogicAnalyser& la = adapter_->state().connections.la;
    la.writePointer = 0x21;
    la.samples[0x7F] = 0x11223344'55667788ull;
    ASSERT_TRUE(adapter_->WriteRegister(kRegTpLaConfig, 0xFFFFC07F));
    uint32_t v = 0;
    ASSERT_TRUE(adapter_->ReadRegister(kRegTpLaConfig, &v));
    EXPECT_EQ(v, 0x0021C07Fu) << "the pointer bits are the analyser's";
    ASSERT_TRUE(adapter_->ReadRegister(kRegTpLaDataHigh, &v));
    EXPECT_EQ(v, 0x11223344u);
    ASSERT_TRUE(adapter_->ReadRegister(kRegTpLaDataLow, &v));
    EXPECT_EQ(v, 0x55667788u);

    la.step = 2;
    ASSERT_TRUE(adapter_->ReadRegister(kRegTpLaConfig, &v));
    EXPECT_EQ(v >> 16, 0x23u);
    EXPECT_NE(la.samples[0x22], 0u);
    la.writePointer = 0x7F;
    ASSERT_TRUE(adapter_->ReadRegister(kRegTpLaConfig, &v));
    EXPECT_EQ(v >> 16, 0x01u) << "wraps at 128";
}

}  // namespace
}  // namespace qv::sim::n5
