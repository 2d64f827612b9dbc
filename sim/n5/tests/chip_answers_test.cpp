// The simulated bus driver's answers about on-chip state: records read byte by byte, ids and
// sizes bounded. (The CIM debug registers are exercised through runs of the tool.)
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

}  // namespace
}  // namespace qv::sim::n5
