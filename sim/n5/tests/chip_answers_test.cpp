// The simulated bus driver's answers about on-chip state and the CIM debug registers: records
// read byte by byte, ids and sizes bounded, the analyser's read request and the queue debug reads.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "../request_record.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/n5/adapter.h"
#include "qv/testing/temp_dir.h"

namespace qv::sim::n5 {
namespace {

class ChipAnswersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.ok());
        int32_t error = 0;
        adapter_ = Adapter::Open(temp_.path() / "adapters" / "ROOT#QVVBD#0000.n5", &error);
        ASSERT_NE(adapter_, nullptr);
    }
    int32_t Send(uint32_t function, uint8_t* buffer, uint32_t in, uint32_t out) {
        return adapter_->HandleRequest(function, buffer, in, out, &returned_);
    }

    qv::testing::TempDir temp_{"n5-chip"};
    std::unique_ptr<Adapter> adapter_;
    uint32_t returned_ = 0;
};

TEST_F(ChipAnswersTest, ContextsByTypeAndId) {
    adapter_->state().chip.egress[16] = {0x1122334455667788ull, 0x99AABBCCDDEEFF00ull};
    uint8_t record[24] = {};
    Put32(record, 2);
    Put32(record + 4, 0xFFF8);
    ASSERT_EQ(Send(9, record, 24, 24), kErrorSuccess);
    EXPECT_EQ(returned_, 24u);
    EXPECT_EQ(Get64(record + 8), 0x1122334455667788ull);
    EXPECT_EQ(Get64(record + 16), 0x99AABBCCDDEEFF00ull);
    EXPECT_EQ(Get32(record + 4), 0xFFF8u) << "the id comes back as sent";
    const struct {
        uint32_t type, id;
        int32_t result;
    } cases[] = {{0, 15, kErrorSuccess},        {1, 16, kErrorInvalidParameter},
                 {3, 17, kErrorSuccess},        {3, 18, kErrorInvalidParameter},
                 {4, 7, kErrorSuccess},         {4, 8, kErrorInvalidParameter},
                 {5, 0, kErrorInvalidParameter}};
    for (const auto& c : cases) {
        Put32(record, c.type);
        Put32(record + 4, c.id);
        EXPECT_EQ(Send(9, record, 24, 24), c.result) << c.type << " " << c.id;
    }
    EXPECT_EQ(Send(9, record, 24, 23), kErrorInsufficientBuffer);
}

TEST_F(ChipAnswersTest, DescriptorsAndTablesAreBounded) {
    uint8_t record[140] = {};
    adapter_->state().chip.descriptors[47][15].length = 0xFFFFFFFF;
    Put32(record, 47);
    Put32(record + 4, 15);
    ASSERT_EQ(Send(30, record, 140, 140), kErrorSuccess);
    EXPECT_EQ(Get32(record + 8), 0xFFFFFFFFu) << "the stored length is returned as it is";
    Put32(record, 48);
    EXPECT_EQ(Send(30, record, 140, 140), kErrorInvalidParameter);
    Put32(record, 0);
    Put32(record + 4, 16);
    EXPECT_EQ(Send(30, record, 140, 140), kErrorInvalidParameter);
    EXPECT_EQ(Send(30, record, 140, 139), kErrorInsufficientBuffer);

    uint8_t table[2048] = {};
    const uint32_t sizes[] = {32, 2048, 256, 64, 256, 256, 64};
    for (uint32_t t = 0; t < 7; ++t) {
        EXPECT_EQ(Send(18 + t, table, sizes[t], sizes[t]), kErrorSuccess) << t;
        EXPECT_EQ(returned_, sizes[t]);
        EXPECT_EQ(Get32(table), adapter_->state().chip.tpTables[TpTableStart(t)]) << t;
        EXPECT_EQ(Send(18 + t, table, sizes[t], sizes[t] - 4), kErrorInsufficientBuffer) << t;
    }
}

TEST_F(ChipAnswersTest, AnalyserReadRequestLoadsTheDataWord) {
    StateFile& s = adapter_->state();
    s.chip.cimLa[0x1FF] = 0xFEEDF00D;
    ASSERT_TRUE(adapter_->WriteRegister(0x2B4, 0x7FC | 2 | 1));  // host_acc_data
    ASSERT_TRUE(adapter_->WriteRegister(0x2B0, 0x10080));        // write CIM 0x80
    EXPECT_EQ(s.cim[0x84], 0xFEEDF00Du);
    EXPECT_EQ(s.cim[0x80], 0x7FDu) << "the request bit clears, the run bit stays";
    s.chip.faults.cimLaBusyStuck = 1;
    ASSERT_TRUE(adapter_->WriteRegister(0x2B4, 2));
    ASSERT_TRUE(adapter_->WriteRegister(0x2B0, 0x10080));
    EXPECT_EQ(s.cim[0x80], 2u);
}

TEST_F(ChipAnswersTest, QueueDebugRegistersReadTheSelectedEntry) {
    StateFile& s = adapter_->state();
    s.chip.cimQueues[3][7] = 0x33000007;
    s.chip.cimQueues[6][511] = 0x660001FF;  // outbound queue 2
    uint32_t value = 0;
    ASSERT_TRUE(adapter_->WriteRegister(0x2C0, 7u << 16 | 3u << 3 | 1));
    ASSERT_TRUE(adapter_->ReadRegister(0x2C0, &value));
    EXPECT_EQ(value & 3u, 0u) << "started and done";
    ASSERT_TRUE(adapter_->ReadRegister(0x2C8, &value));
    EXPECT_EQ(value, 0x33000007u);
    ASSERT_TRUE(adapter_->WriteRegister(0x2C4, 511u << 16 | 2u << 3 | 1));
    ASSERT_TRUE(adapter_->ReadRegister(0x2CC, &value));
    EXPECT_EQ(value, 0x660001FFu);
    ASSERT_TRUE(adapter_->WriteRegister(0x2C4, 3u << 3 | 1));  // no outbound queue 3
    ASSERT_TRUE(adapter_->ReadRegister(0x2CC, &value));
    EXPECT_EQ(value, 0u);
    adapter_->SetQueueDebugBusyStuck(true);
    ASSERT_TRUE(adapter_->ReadRegister(0x2C0, &value));
    EXPECT_EQ(value & 2u, 2u);
}

}  // namespace
}  // namespace qv::sim::n5
