// -p as a run of the tool on a simulated adapter: what it prints for each kind of image, what the
// flash holds afterwards, files refused before any request, and a failed run that a second run
// mends.
#include <gtest/gtest.h>

#include <cstring>

#include "image_fixtures.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/flash/flash_programming.h"
#include "qv/testing/golden.h"
#include "qv/testing/temp_dir.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using qv::testing::MatchesGolden;
using qv::testing::WriteFile;

constexpr char kGoldenDir[] = "qvtool/flash/tests/golden/";

class ProgrammingTest : public test::Nic0Test {
  protected:
    void SetUp() override {
        Nic0Test::SetUp();
        sim::n5::PowerOnSerialFlash(&adapter_->state().flash);
    }

    // Writes the file into the temporary directory and runs "-d nic0 -p <file>"; the status is
    // always 0 and nothing goes to standard error.
    std::string Program(const std::string& name, const std::string& content) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(WriteFile(path, content));
        // The goldens name the file without the temporary directory.
        std::string out = RunOnNic0({"-p", path});
        for (size_t at; (at = out.find(dir_.str() + "/")) != std::string::npos;) {
            out.erase(at, dir_.str().size() + 1);
        }
        return out;
    }
    bool FlashHolds(uint32_t address, const void* bytes, size_t size) const {
        return std::memcmp(adapter_->state().flash.memory + address, bytes, size) == 0;
    }
    uint64_t FlashRequests() const {
        const auto& c = adapter_->state().counters.functionRequests;
        return c[5] + c[6];
    }

    qv::testing::TempDir dir_;
};

TEST_F(ProgrammingTest, FirmwareGoesToItsAreaWithTheVersionWordAndRegister0x280Cleared) {
    const std::vector<uint32_t> words = test::SummedFirmware({0x12345678, 0x0A0B0C0D, 0x80000001});
    adapter_->PokeRegister(kFirmwareUpdateRegister, 7);
    EXPECT_TRUE(
        MatchesGolden(Program("fw.ascii", test::TextFile(words)), std::string(kGoldenDir) + "firmware.txt"));
    EXPECT_TRUE(FlashHolds(kFlashFirmwareAddress, words.data(), 4 * words.size()));
    const uint32_t version = words[words.size() - 2];
    EXPECT_TRUE(FlashHolds(kFlashVersionAddress, &version, 4));
    EXPECT_EQ(adapter_->PeekRegister(kFirmwareUpdateRegister), 0u);
    // The binary form of the same firmware leaves the same flash.
    sim::n5::PowerOnSerialFlash(&adapter_->state().flash);
    Program("fw.bin", test::BigEndianFile(words));
    EXPECT_TRUE(FlashHolds(kFlashFirmwareAddress, words.data(), 4 * words.size()));
    EXPECT_TRUE(FlashHolds(kFlashVersionAddress, &version, 4));
}

TEST_F(ProgrammingTest, BootImageGoesToTheStartAndLeavesTheFirmwareSector) {
    const std::vector<uint8_t> rom = test::BootModule(0x1000);
    std::memset(adapter_->state().flash.memory + kFlashFirmwareAddress, 0x5A, kFlashSectorBytes);
    EXPECT_TRUE(MatchesGolden(Program("boot.rom", std::string(rom.begin(), rom.end())),
                              std::string(kGoldenDir) + "boot_rom.txt"));
    EXPECT_TRUE(FlashHolds(0, rom.data(), rom.size()));

    // The largest boot image fills sectors 0 to 6 exactly: sector 7 keeps the firmware.
    const std::vector<uint8_t> largest = test::BootModule(kFlashBootImageMaxBytes);
    const std::string out = Program("largest.rom", std::string(largest.begin(), largest.end()));
    EXPECT_NE(out.find("7 sectors erased, successfully...\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Comparison was successful.\n"), std::string::npos) << out;
    EXPECT_TRUE(FlashHolds(0, largest.data(), largest.size()));
    EXPECT_EQ(adapter_->state().flash.memory[kFlashFirmwareAddress], 0x5A);
}

TEST_F(ProgrammingTest, TheSectorsErasedFollowTheImageLength) {
    struct Case {
        size_t words;
        const char* erased;
    };
    // The largest images reach the version word's place: it is not written over them.
    for (const Case& c : {Case{2, "1 sectors erased"}, Case{0x3FFF, "1 sectors erased"},
                          Case{0x4000, "1 sectors erased"}, Case{0x4001, "2 sectors erased"}}) {
        std::vector<uint32_t> body(c.words - 1);
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint32_t>(i * 0x01010101u);
        const std::vector<uint32_t> words = test::SummedFirmware(body);
        const std::string out = Program("fw.bin", test::BigEndianFile(words));
        EXPECT_NE(out.find(c.erased), std::string::npos) << c.words << "\n" << out;
        EXPECT_NE(out.find("Comparison was successful.\n"), std::string::npos) << c.words << out;
        EXPECT_TRUE(FlashHolds(kFlashFirmwareAddress, words.data(), 4 * words.size())) << c.words;
        EXPECT_EQ(out.find("location 0x0007FFFC") == std::string::npos, c.words >= 0x4000) << c.words;
        uint32_t version = 0;
        std::memcpy(&version, adapter_->state().flash.memory + kFlashVersionAddress, 4);
        EXPECT_EQ(version, c.words == 0x4000 ? words.back() : words[words.size() - 2]) << c.words;
    }
}

TEST_F(ProgrammingTest, RefusedFilesReachNoRequest) {
    struct Case {
        const char* name;
        std::string content;
        const char* printed;
    };
    const std::vector<uint32_t> unsummed = {1, 2, 3};
    for (const Case& c :
         {Case{"fw.txt", "00\n", "Unknown file type\n"}, Case{"fw", "00\n", "Unknown file type\n"},
          Case{"missing.rom", "", "missing.rom board configuration file\n"},
          Case{"bad.bin", test::BigEndianFile(unsummed), "corrupt"}}) {
        const uint64_t before = FlashRequests();
        const std::string path = (dir_ / c.name).string();
        if (!c.content.empty()) {
            ASSERT_TRUE(WriteFile(path, c.content));
        }
        const test::RunOutput r = test::RunInProcess({"-d", "nic0", "-p", path});
        EXPECT_NE(r.out.find(c.printed), std::string::npos) << c.name << ": " << r.out;
        EXPECT_EQ(r.out.find("serial flash"), std::string::npos) << c.name;
        EXPECT_EQ(FlashRequests(), before) << c.name;
    }
}

TEST_F(ProgrammingTest, AFlashThatFailsMidProgramIsReportedAndASecondRunRecoversTheBoard) {
    std::vector<uint32_t> body(0x1000);
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint32_t>(i * 2654435761u);
    const std::vector<uint32_t> words = test::SummedFirmware(body);
    const std::string file = test::BigEndianFile(words);
    // Fail a request in the middle of the page programs.
    adapter_->FailRequestAfter(400 + 2000);
    std::string out = Program("fw.bin", file);
    EXPECT_NE(out.find("Writing the Serial flash Failed !!!\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Comparing failure base = "), std::string::npos) << out;
    EXPECT_FALSE(FlashHolds(kFlashFirmwareAddress, words.data(), 4 * words.size()));

    out = Program("fw.bin", file);
    EXPECT_EQ(out.find("Failed"), std::string::npos) << out;
    EXPECT_NE(out.find("Comparison was successful.\n"), std::string::npos) << out;
    EXPECT_TRUE(FlashHolds(kFlashFirmwareAddress, words.data(), 4 * words.size()));
}

TEST_F(ProgrammingTest, FailuresOfTheFlashAndOfRegister0x280AreEachReportedAndTheStepsGoOn) {
    const std::vector<uint32_t> words = test::SummedFirmware({0x11111111, 0x22222222});
    adapter_->SetRegisterWriteFails(kFirmwareUpdateRegister, true);
    adapter_->SetFlashWriteEnableIgnored(true);
    EXPECT_TRUE(MatchesGolden(Program("fw.bin", test::BigEndianFile(words)),
                              std::string(kGoldenDir) + "firmware_failures.txt"));
}

}  // namespace
}  // namespace qv::qvtool
