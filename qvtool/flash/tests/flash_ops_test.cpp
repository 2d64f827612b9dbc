// The flash operations against a simulated adapter: what reaches the flash, what the tool prints,
// and how many requests of each function it takes.
#include "qv/qvtool/flash/flash_ops.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "qv/qvtool/adapter_connection.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using sim::n5::SerialFlashPart;

constexpr uint32_t kWordsPerPage = kFlashPageBytes / 4;

std::vector<uint32_t> Image(size_t words, uint32_t seed = 0x1234567) {
    std::vector<uint32_t> image(words);
    for (auto& w : image) w = seed = seed * 1103515245u + 12345u;
    return image;
}

class FlashOpsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        adapter_ = test::OpenSimulatedAdapter(0);
        ASSERT_NE(adapter_, nullptr);
        std::FILE* sink = std::tmpfile();
        ASSERT_TRUE(OpenAdapter(0, &connection_, sink));
        std::fclose(sink);
        ASSERT_NE(connection_.device, kInvalidDevice);
        out_ = std::tmpfile();
    }
    void TearDown() override {
        CloseAdapter(&connection_);
        std::fclose(out_);
    }
    HDevice device() const { return connection_.device; }
    // The simulated part's entry in the parts table.
    static const FlashPart& part() { return *FindFlashPart(SerialFlashPart::kSignature); }
    // What the operations printed since the last call.
    std::string Printed() {
        std::string text = qv::testing::ReadStream(out_);
        std::fclose(out_);
        out_ = std::tmpfile();
        return text;
    }
    struct Requests {
        uint64_t reads;   // function 5
        uint64_t writes;  // function 6
    };
    Requests Count() const {
        const auto& c = adapter_->state().counters.functionRequests;
        return {c[5], c[6]};
    }
    bool FlashHolds(const std::vector<uint32_t>& words, uint32_t address) const {
        return std::memcmp(adapter_->state().flash.memory + address, words.data(), 4 * words.size()) == 0;
    }

    test::TempMachine machine_{test::MachineOptions::OnFirstUse()};
    std::unique_ptr<sim::n5::Adapter> adapter_;
    AdapterConnection connection_;
    std::FILE* out_ = nullptr;
};

TEST_F(FlashOpsTest, ErasesProgramsAndComparesA64KiBImageWithTheExpectedRequests) {
    const std::vector<uint32_t> image = Image(kFlashSectorBytes / 4);
    std::memset(adapter_->state().flash.memory + kFlashFirmwareAddress, 0, kFlashSectorBytes);
    const SectorRange sectors = SectorsCovering(part(), kFlashFirmwareAddress, kFlashSectorBytes);
    ASSERT_EQ(sectors.first, 7u);
    ASSERT_EQ(sectors.count, 1u);

    const uint64_t erasePolls = SerialFlashPart::kEraseBusyPolls + 1;
    Requests before = Count();
    ASSERT_EQ(EraseFlashSectors(device(), part(), sectors.first, sectors.count, out_), kStatusSuccess);
    // Write enable, status; erase command, address; the polls (opcode and byte each); write disable.
    EXPECT_EQ(Count().writes - before.writes, 2 + 2 + erasePolls + 1);
    EXPECT_EQ(Count().reads - before.reads, 1 + erasePolls);
    EXPECT_EQ(Printed(), "Erasing serial flash sectors...\n1 sectors erased, successfully...\n\n");

    // One request per word; per page the command, the address, the polls of the wait, and (but
    // after the last page) write enable and its status read; write enable and status first and
    // write disable last.
    const uint64_t pages = image.size() / kWordsPerPage;
    const uint64_t programPolls = SerialFlashPart::kProgramBusyPolls + 1;
    before = Count();
    ASSERT_EQ(WriteFlashImage(device(), part(), image, kFlashFirmwareAddress, out_), kStatusSuccess);
    EXPECT_EQ(Count().writes - before.writes,
              2 + image.size() + pages * (2 + programPolls) + (pages - 1) * 2 + 1);
    EXPECT_EQ(Count().reads - before.reads, 1 + pages * programPolls + (pages - 1));
    EXPECT_EQ(Printed(),
              "\nWriting image at location 0x00070000 of serial flash...\n"
              "Writing the Serial flash was successful\n");
    EXPECT_TRUE(FlashHolds(image, kFlashFirmwareAddress));
    EXPECT_EQ(adapter_->state().flash.writeEnabled, 0);

    // Three requests per word.
    before = Count();
    ASSERT_EQ(CompareFlashImage(device(), image, kFlashFirmwareAddress, out_), kStatusSuccess);
    EXPECT_EQ(Count().writes - before.writes, 2 * image.size());
    EXPECT_EQ(Count().reads - before.reads, image.size());
    EXPECT_EQ(
        Printed(),
        "\nComparing serial flash contents at 0x00070000 to stored image.\nComparison was successful.\n");

    uint32_t version = 0;
    ASSERT_EQ(ReadFlashVersionWord(device(), &version), kStatusSuccess);
    EXPECT_EQ(version, image.back());
}

TEST_F(FlashOpsTest, AnImageOffAPageBoundaryGoesOnAtTheNextPagesStart) {
    const std::vector<uint32_t> image = Image(kWordsPerPage + 6);
    const uint32_t at = kFlashFirmwareAddress + 0x10;
    ASSERT_EQ(WriteFlashImage(device(), part(), image, at, out_), kStatusSuccess);
    EXPECT_TRUE(FlashHolds(image, at));
    EXPECT_EQ(adapter_->state().flash.memory[at + 4 * image.size()], 0xFF) << "nothing after the image";
}

TEST_F(FlashOpsTest, AFailedTransferMidProgramIsReportedAndNothingFollowsIt) {
    const std::vector<uint32_t> image = Image(4 * kWordsPerPage);
    // Write enable and status (3 requests), then page 1 completes: fail a data word of page 2.
    const uint32_t page = 2 + kWordsPerPage + 2 * (SerialFlashPart::kProgramBusyPolls + 1) + 3;
    adapter_->FailRequestAfter(3 + page + 2 + 10);
    EXPECT_EQ(WriteFlashImage(device(), part(), image, kFlashFirmwareAddress, out_), kStatusFailure);
    EXPECT_EQ(Printed(),
              "\nWriting image at location 0x00070000 of serial flash...\n"
              "Writing the Serial flash Failed !!!\n");
    const std::vector<uint32_t> firstPage(image.begin(), image.begin() + kWordsPerPage);
    EXPECT_TRUE(FlashHolds(firstPage, kFlashFirmwareAddress));
    const uint8_t* third = adapter_->state().flash.memory + kFlashFirmwareAddress + 2 * kFlashPageBytes;
    EXPECT_EQ(third[0], 0xFF);

    ASSERT_EQ(CompareFlashImage(device(), image, kFlashFirmwareAddress, out_), kStatusFailure);
    const std::string printed = Printed();
    EXPECT_NE(printed.find("Comparing failure base = 0x701"), std::string::npos) << printed;
}

TEST_F(FlashOpsTest, FaultsOfTheFlashGiveTheirMessages) {
    struct Case {
        const char* name;
        void (sim::n5::Adapter::*fault)(bool);
        bool erase;
        const char* printed;
        uint64_t statusReads;  // function 5 requests
    };
    const Case cases[] = {
        {"write never completes", &sim::n5::Adapter::SetFlashNeverReady, false,
         "\nWriting image at location 0x00070000 of serial flash...\nWrite Page failed...\n"
         "Writing the Serial flash Failed !!!\n",
         1 + kProgramReadyPolls},
        {"erase never completes", &sim::n5::Adapter::SetFlashNeverReady, true,
         "Erasing serial flash sectors...\n1 sectors erased, failed on 7 sector...\n\n",
         1 + kEraseReadyPolls},
        {"write enable not latched", &sim::n5::Adapter::SetFlashWriteEnableIgnored, false,
         "\nWriting image at location 0x00070000 of serial flash...\nWriting the Serial flash Failed !!!\n",
         1},
        {"write enable not latched, erase", &sim::n5::Adapter::SetFlashWriteEnableIgnored, true,
         "Erasing serial flash sectors...\nWrite enable failed...\n\n", 1},
    };
    const std::vector<uint32_t> image = Image(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        adapter_->ClearFaults();
        uint8_t status = 0;
        ASSERT_EQ(WaitFlashReady(device(), kEraseReadyPolls), kStatusSuccess);  // the last cycle completes
        ((*adapter_).*c.fault)(true);
        const uint64_t before = Count().reads;
        if (c.erase) {
            EXPECT_EQ(EraseFlashSectors(device(), part(), 7, 2, out_), kStatusFailure);
        } else {
            EXPECT_EQ(WriteFlashImage(device(), part(), image, kFlashFirmwareAddress, out_), kStatusFailure);
        }
        EXPECT_EQ(Printed(), c.printed);
        EXPECT_EQ(Count().reads - before, c.statusReads);
        EXPECT_EQ(ReadFlashStatus(device(), &status), kStatusSuccess);
    }
}

TEST_F(FlashOpsTest, ABusyFlashIsNeitherErasedNorProgrammed) {
    // What a run killed during a program or an erase leaves: the cycle running, the latch still set.
    // The flash ignores every command but status reads until the cycle ends.
    struct Case {
        bool erase;
        const char* printed;
    };
    const std::vector<uint32_t> image = Image(8);
    const std::vector<uint32_t> zeros(kFlashSectorBytes / 4, 0);
    for (const Case& c : {Case{true, "Erasing serial flash sectors...\nWrite enable failed...\n\n"},
                          Case{false,
                               "\nWriting image at location 0x00070000 of serial flash...\n"
                               "Writing the Serial flash Failed !!!\n"}}) {
        sim::n5::PowerOnSerialFlash(&adapter_->state().flash);
        std::memset(adapter_->state().flash.memory + kFlashFirmwareAddress, 0, kFlashSectorBytes);
        adapter_->state().flash.busyPolls = 1000;
        adapter_->state().flash.writeEnabled = 1;
        if (c.erase) {
            EXPECT_EQ(EraseFlashSectors(device(), part(), 7, 1, out_), kStatusFailure);
        } else {
            EXPECT_EQ(WriteFlashImage(device(), part(), image, kFlashFirmwareAddress, out_), kStatusFailure);
        }
        EXPECT_EQ(Printed(), c.printed);
        EXPECT_TRUE(FlashHolds(zeros, kFlashFirmwareAddress));
    }
}

TEST_F(FlashOpsTest, IdentificationAndCompareReports) {
    ASSERT_EQ(ReportFlashSignature(device(), out_), kStatusSuccess);
    EXPECT_EQ(Printed(), "\nReading Device ID from serial flash...\n  Device ID=0x00000013\n\n");
    adapter_->SetFunctionFails(6, true);
    EXPECT_EQ(ReportFlashSignature(device(), out_), kStatusFailure);
    EXPECT_EQ(Printed(), "\nReading Device ID from serial flash...\nReading the Serial Flash ID failed\n");
    EXPECT_EQ(CompareFlashImage(device(), Image(2), 0x100, out_), kStatusFailure);
    EXPECT_EQ(Printed(),
              "\nComparing serial flash contents at 0x00000100 to stored image.\n"
              "Reading the serial flash failed at 0x100\n");
    adapter_->ClearFaults();

    const std::vector<uint32_t> image = {0x11223344, 0x55667788};
    std::memcpy(adapter_->state().flash.memory + 0x100, image.data(), 8);
    adapter_->state().flash.memory[0x104] = 0x00;
    EXPECT_EQ(CompareFlashImage(device(), image, 0x100, out_), kStatusFailure);
    EXPECT_EQ(Printed(),
              "\nComparing serial flash contents at 0x00000100 to stored image.\n"
              "Comparing failure base = 0x104 Flash = 0x55667700 image = 0x55667788\n");
    EXPECT_EQ(CompareFlashImage(device(), {}, 0x100, out_), kStatusSuccess);
}

TEST_F(FlashOpsTest, SectorsCoveredAndTheAddressSpaceIsNotWrapped) {
    struct Case {
        uint32_t address, bytes, first, count;
    };
    const Case cases[] = {
        {0x70000, 0x10004, 7, 2}, {0x70000, 0xFFFC, 7, 1}, {0x70000, 0x10000, 7, 1},
        {0, 0x70000, 0, 7},       {0x6FFFC, 8, 6, 2},      {0x70000, 0, 7, 0},
    };
    for (const Case& c : cases) {
        const SectorRange r = SectorsCovering(part(), c.address, c.bytes);
        EXPECT_EQ(r.first, c.first) << std::hex << c.address << " " << c.bytes;
        EXPECT_EQ(r.count, c.count) << std::hex << c.address << " " << c.bytes;
    }
    adapter_->state().flash.memory[0] = 0x00;
    EXPECT_EQ(EraseFlashSectors(device(), part(), 256, 1, out_), kStatusFailure);
    EXPECT_EQ(adapter_->state().flash.memory[0], 0x00);
    EXPECT_EQ(WriteFlashImage(device(), part(), Image(2), 0xFFFFFC, out_), kStatusFailure);
}

}  // namespace
}  // namespace qv::qvtool
