// The simulated adapter: its state file (creation, sharing between mappings, old and foreign
// files), the register behaviours the tool's protocols rely on, and the bounds of every request.
#include "qv/sim/n5/adapter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <list>

#include "qv/platform/wintypes.h"
#include "qv/testing/child_process.h"
#include "qv/testing/temp_dir.h"

namespace qv::sim::n5 {
namespace {

class AdapterTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    std::unique_ptr<Adapter> Open() {
        int32_t error = 0;
        return Adapter::Open(file_, &error);
    }
    // A register as a host read returns it; a read that fails fails the test.
    static uint32_t Read(Adapter& a, uint32_t offset) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_TRUE(a.ReadRegister(offset, &value)) << std::hex << offset;
        return value;
    }

    qv::testing::TempDir temp_{"n5-test"};
    std::filesystem::path dir_ = temp_.path();
    std::filesystem::path file_ = dir_ / "adapters" / "ROOT#QVVBD#0000.n5";
};

TEST_F(AdapterTest, FirstOpenCreatesDefaultsAndStateIsSharedBetweenMappings) {
    auto a = Open();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::filesystem::file_size(file_), sizeof(StateFile));
    EXPECT_EQ(Read(*a, 0x6F4), 3u);

    auto b = Open();
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(a->WriteRegister(0x100, 0xABCD));
    a->SetCimBusyStuck(true);
    EXPECT_EQ(b->PeekRegister(0x100), 0xABCDu);
    EXPECT_EQ(b->state().faults.cimBusyStuck, 1u);
    a.reset();
    b.reset();
    EXPECT_EQ(Open()->PeekRegister(0x100), 0xABCDu);  // survives like hardware state
}

TEST_F(AdapterTest, ProcessesCreatingTheFileAtOnceShareOneState) {
    constexpr int kChildren = 6;
    std::list<qv::testing::Child> children;
    for (int i = 0; i < kChildren; ++i) {
        children.emplace_back([this, i] {
            int32_t error = 0;
            auto a = Adapter::Open(file_, &error);
            if (a == nullptr) return false;
            a->PokeRegister(0x1000 + 4 * static_cast<uint32_t>(i), 0xC0DE0000u + static_cast<uint32_t>(i));
            return true;
        });
    }
    for (qv::testing::Child& child : children) EXPECT_EQ(child.Wait().exitCode, 0);
    auto a = Open();
    ASSERT_NE(a, nullptr);
    for (int i = 0; i < kChildren; ++i) {
        EXPECT_EQ(a->PeekRegister(0x1000 + 4 * static_cast<uint32_t>(i)),
                  0xC0DE0000u + static_cast<uint32_t>(i))
            << i;
    }
}

TEST_F(AdapterTest, OutdatedFilesAreRecreatedAndForeignFilesRefused) {
    ASSERT_NE(Open(), nullptr);
    {
        auto a = Open();
        a->PokeRegister(0x100, 0x1);
        a->state().version = kStateLayoutVersion + 1;
    }
    auto recreated = Open();
    ASSERT_NE(recreated, nullptr);
    EXPECT_EQ(recreated->PeekRegister(0x100), 0x00280201u);  // back to the default
    recreated.reset();

    std::filesystem::resize_file(file_, 100);  // right magic, wrong size
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(std::filesystem::file_size(file_), sizeof(StateFile));

    { std::ofstream(file_, std::ios::trunc) << "something else entirely"; }
    int32_t error = 0;
    EXPECT_EQ(Adapter::Open(file_, &error), nullptr);
    EXPECT_EQ(error, kErrorBadFormat);
    EXPECT_EQ(std::filesystem::file_size(file_), 23u);

    { std::ofstream(file_, std::ios::trunc) << ""; }  // empty
    EXPECT_EQ(Adapter::Open(file_, &error), nullptr);

    ASSERT_TRUE(Adapter::Reset(file_, &error));
    EXPECT_NE(Open(), nullptr);
}

TEST_F(AdapterTest, HostAccessWindowRunsCimAccessesWithABusyPhase) {
    auto a = Open();
    a->PokeCim(0x2345, 0x77);
    ASSERT_TRUE(a->WriteRegister(0x2B0, 0x2345));
    for (int i = 0; i < 3; ++i) EXPECT_NE(Read(*a, 0x2B0) & (1u << 17), 0u) << i;
    EXPECT_EQ(Read(*a, 0x2B0), 0x2345u);
    EXPECT_EQ(Read(*a, 0x2B4), 0x77u);

    ASSERT_TRUE(a->WriteRegister(0x2B4, 0x99));
    ASSERT_TRUE(a->WriteRegister(0x2B0, 0x10010));  // write bit, address 0x10
    EXPECT_EQ(a->PeekCim(0x10), 0x99u);
    EXPECT_EQ(a->state().counters.lastCimWrite, 1u);

    a->SetCimBusyStuck(true);
    for (int i = 0; i < 20; ++i) EXPECT_NE(Read(*a, 0x2B0) & (1u << 17), 0u) << i;
}

TEST_F(AdapterTest, IndirectPairAndReadOnlyRevision) {
    auto a = Open();
    ASSERT_TRUE(a->WriteRegister(0x78, 0x40));
    ASSERT_TRUE(a->WriteRegister(0x7C, 0xFEED));
    EXPECT_EQ(Read(*a, 0x7C), 0xFEEDu);
    EXPECT_EQ(a->state().indirect[0x40], 0xFEEDu);
    // Addresses 0 to 33 are the pipeline counters, which clear on read.
    ASSERT_TRUE(a->WriteRegister(0x78, 33));
    ASSERT_TRUE(a->WriteRegister(0x7C, 0xBEEF));
    EXPECT_EQ(Read(*a, 0x7C), 0xBEEFu);
    EXPECT_EQ(Read(*a, 0x7C), 0u);
    EXPECT_EQ(a->state().indirect[33], 0u);
    ASSERT_TRUE(a->WriteRegister(0x78, kIndirectWords));  // outside the indirect space
    ASSERT_TRUE(a->WriteRegister(0x7C, 1));
    EXPECT_EQ(Read(*a, 0x7C), 0u);

    ASSERT_TRUE(a->WriteRegister(0x6F4, 9));
    EXPECT_EQ(Read(*a, 0x6F4), 3u);
}

// The capability list's walk to the VPD capability is held by the VPD EEPROM suite.
TEST_F(AdapterTest, ConfigurationSpaceBoundsAndReadOnlyIdentifiers) {
    auto a = Open();
    uint32_t word = 0;
    EXPECT_FALSE(a->ReadConfig(253, &word));
    EXPECT_TRUE(a->ReadConfig(252, &word));
    ASSERT_TRUE(a->WriteConfig(0, 0));  // identifiers are read-only
    ASSERT_TRUE(a->ReadConfig(0, &word));
    EXPECT_EQ(word, 0x00055A5Au);
}

TEST_F(AdapterTest, MdioRegistersPerPortAndDeviceWithBoundedStore) {
    auto a = Open();
    uint16_t value = 0;
    ASSERT_TRUE(a->WriteMdio(1, 3, 0x20, 0xBEEF));
    ASSERT_TRUE(a->ReadMdio(1, 3, 0x20, &value));
    EXPECT_EQ(value, 0xBEEF);
    ASSERT_TRUE(a->ReadMdio(2, 3, 0x20, &value));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(a->ReadMdio(32, 0, 0, &value));
    EXPECT_FALSE(a->WriteMdio(0, 40, 0, 0));
    for (uint32_t r = 0; r < kMdioSlotCount - 1; ++r)
        ASSERT_TRUE(a->WriteMdio(0, 0xFF, static_cast<uint16_t>(r), 1));
    EXPECT_FALSE(a->WriteMdio(0, 0xFF, 0xFFFF, 1));  // store full
    EXPECT_TRUE(a->WriteMdio(1, 3, 0x20, 0x1));      // rewriting a stored register still works
}

TEST_F(AdapterTest, BusDriverBoundsAndFaults) {
    auto a = Open();
    uint8_t record[8] = {0x00, 0x00, 0x01, 0x00};  // offset 0x10000: outside the register space
    uint32_t returned = 0;
    EXPECT_EQ(a->HandleRequest(1, record, 8, 8, &returned), kErrorGenFailure);
    EXPECT_EQ(a->HandleRequest(0, record, 8, 8, &returned), kErrorNotSupported);
    EXPECT_EQ(a->HandleRequest(27, record, 8, 8, &returned), kErrorNotSupported);
    EXPECT_EQ(a->HandleRequest(1000, record, 8, 8, &returned), kErrorNotSupported);
    EXPECT_EQ(a->HandleRequest(1, nullptr, 8, 8, &returned), kErrorInvalidParameter);
    EXPECT_EQ(a->HandleRequest(7, record, 5, 6, &returned), kErrorInsufficientBuffer);

    uint8_t ok[8] = {0xF4, 0x06};
    EXPECT_EQ(a->HandleRequest(1, ok, 8, 8, &returned), kErrorSuccess);
    a->SetRegisterReadFails(0x6F4, true);
    EXPECT_EQ(a->HandleRequest(1, ok, 8, 8, &returned), kErrorGenFailure);
    a->SetRegisterReadFails(0x6F4, false);
    a->SetFunctionFails(1, true);
    EXPECT_EQ(a->HandleRequest(1, ok, 8, 8, &returned), kErrorGenFailure);
    a->SetFunctionFails(99, true);  // ignored, no overrun
    a->ClearFaults();
    EXPECT_EQ(a->HandleRequest(1, ok, 8, 8, &returned), kErrorSuccess);
}

}  // namespace
}  // namespace qv::sim::n5
