// -p as a run of the tool on a simulated adapter: what it prints for each kind of image, what the
// flash holds afterwards, files refused before any request, flashes refused before any erase, the
// backup of the erased sectors and its way back, and a failed run that a second run mends.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>

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

// What -p sends before its first erase to an idle flash whose erased sectors are one: the
// identification (a read that ends any open transfer, one status poll, the signature) and the
// backup's reads (three requests per word).
constexpr uint32_t kRequestsBeforeErase = 5 + 3 * (kFlashSectorBytes / 4);

class ProgrammingTest : public test::Nic0Test {
  protected:
    // The backups -p saves go to the current directory: the temporary one.
    void SetUp() override {
        Nic0Test::SetUp();
        sim::n5::PowerOnSerialFlash(&adapter_->state().flash);
        std::filesystem::current_path(dir_.path());
    }
    void TearDown() override {
        std::filesystem::current_path(home_);
        Nic0Test::TearDown();
    }

    // Writes the file into the temporary directory and runs "-d nic0 -p <file>"; the status is
    // always 0 and nothing goes to standard error.
    std::string Program(const std::string& name, const std::string& content) {
        EXPECT_TRUE(WriteFile(dir_ / name, content));
        return ProgramFile(name);
    }
    // Runs "-d nic0 -p <file>" on a file of the temporary directory. The goldens name the file
    // without the directory, and the backups with "<stamp>" for the time of the run.
    std::string ProgramFile(const std::string& name) {
        lastOut_ = RunOnNic0({"-p", (dir_ / name).string()});
        for (size_t at; (at = lastOut_.find(dir_.str() + "/")) != std::string::npos;) {
            lastOut_.erase(at, dir_.str().size() + 1);
        }
        return std::regex_replace(lastOut_, std::regex("-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\."), "-<stamp>.");
    }
    // The backup file the last run named.
    std::string SavedFile() const {
        std::smatch m;
        const std::regex saved("Saved the [a-z]+ area 0x[0-9A-F]+-0x[0-9A-F]+ to ([^:]+):");
        return std::regex_search(lastOut_, m, saved) ? m[1].str() : std::string();
    }
    std::vector<uint8_t> Flash() const {
        const uint8_t* memory = adapter_->state().flash.memory;
        return std::vector<uint8_t>(memory, memory + sim::n5::kFlashBytes);
    }
    bool FlashHolds(uint32_t address, const void* bytes, size_t size) const {
        return std::memcmp(adapter_->state().flash.memory + address, bytes, size) == 0;
    }
    uint64_t FlashRequests() const {
        const auto& c = adapter_->state().counters.functionRequests;
        return c[5] + c[6];
    }

    qv::testing::TempDir dir_;
    std::filesystem::path home_ = std::filesystem::current_path();
    std::string lastOut_;
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
    // Fail a request in the middle of the page programs (after the erase and register 0x280).
    adapter_->FailRequestAfter(kRequestsBeforeErase + 32 + 2 + 2000);
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
    // After the erase, the register write (its read-back is not tried) and two words of the write,
    // a request fails: the version word, the compare and the register's reset still run.
    adapter_->SetRegisterWriteFails(kFirmwareUpdateRegister, true);
    adapter_->FailRequestAfter(kRequestsBeforeErase + 32 + 1 + 6);
    EXPECT_TRUE(MatchesGolden(Program("fw.bin", test::BigEndianFile(words)),
                              std::string(kGoldenDir) + "firmware_failures.txt"));
    // A failed erase ends the programming: the sector may still hold what was there.
    adapter_->ClearFaults();
    adapter_->SetFlashWriteEnableIgnored(true);
    EXPECT_TRUE(MatchesGolden(Program("fw.bin", test::BigEndianFile(words)),
                              std::string(kGoldenDir) + "firmware_erase_failure.txt"));
}

// Firmware of count words with a valid sum.
std::string Firmware(size_t count, uint32_t step) {
    std::vector<uint32_t> body(count - 1);
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint32_t>((i + 1) * step);
    return test::BigEndianFile(test::SummedFirmware(body));
}

std::string Rom(size_t bytes, uint8_t salt) {
    std::vector<uint8_t> rom = test::BootModule(bytes);
    for (size_t i = 2; i < rom.size(); ++i) rom[i] ^= salt;
    return std::string(rom.begin(), rom.end());
}

TEST_F(ProgrammingTest, ABackupProgrammedBackRestoresTheFlashByteForByte) {
    struct Case {
        std::string before, after, extension;
        const char* saved;
    };
    const Case cases[] = {
        {Rom(0x18000, 0), Rom(0x11000, 0x5A), "rom",
         "Saved the boot area 0x00000000-0x0001FFFF to nic0-boot-"},
        {Firmware(3, 0x01010101), Firmware(0x800, 7), "bin", "Saved the firmware area 0x00070000-0x0007FFFF"},
        {Firmware(0x4000, 3), Firmware(5, 9), "bin", "Saved the firmware area 0x00070000-0x0007FFFF"},
        {Firmware(0x4001, 5), Firmware(0x4001, 11), "bin", "Saved the firmware area 0x00070000-0x0008FFFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        ASSERT_NE(Program("old." + c.extension, c.before).find("Comparison was successful."),
                  std::string::npos);
        const std::vector<uint8_t> before = Flash();
        const std::string out = Program("new." + c.extension, c.after);
        EXPECT_NE(out.find(c.saved), std::string::npos) << out;
        EXPECT_NE(out.find("<stamp>." + c.extension + ": program it back with -p to restore the area.\n"),
                  std::string::npos)
            << out;
        ASSERT_NE(Flash(), before);
        EXPECT_NE(ProgramFile(SavedFile()).find("Comparison was successful."), std::string::npos);
        EXPECT_TRUE(Flash() == before);
    }
}

// Each case breaks the flash or the backup in its own way; nothing is erased, -p ends.
TEST_F(ProgrammingTest, AFlashNotReadyOrNotReadOrNotSavedIsLeftAsItWas) {
    struct Case {
        std::function<void(sim::n5::Adapter&)> fault;
        const char* printed;
    };
    const Case cases[] = {
        {[](sim::n5::Adapter& a) { a.SetFlashNeverReady(true), a.state().flash.busyPolls = 1; },
         "  Device ID=0x000000ff\n\nThe serial flash stays busy (device ID 0xFF): nothing was erased.\n"
         "Power-cycle the server or run the command again.\n"},
        {[](sim::n5::Adapter& a) { a.SetFunctionFails(5, true); },
         "Reading the Serial Flash ID failed\nThe serial flash does not answer: nothing was erased.\n"},
        {[](sim::n5::Adapter& a) { a.FailRequestAfter(5 + 3 * 1000 + 2); },
         "Reading the serial flash failed at 0x70fa0: nothing was erased.\n"},
        {[this](sim::n5::Adapter&) {  // the current directory is gone
             std::filesystem::create_directory(dir_ / "gone");
             std::filesystem::current_path(dir_ / "gone");
             std::filesystem::remove(dir_ / "gone");
         },
         "Saving the firmware area to a file in the current directory failed: nothing was erased.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        adapter_->ClearFaults();
        sim::n5::PowerOnSerialFlash(&adapter_->state().flash);
        std::memset(adapter_->state().flash.memory + kFlashFirmwareAddress, 0x00, 0x100);
        const std::vector<uint8_t> before = Flash();
        c.fault(*adapter_);
        const std::string out = Program("fw.bin", Firmware(0x100, 3));
        EXPECT_NE(out.find(c.printed), std::string::npos) << out;
        EXPECT_EQ(out.find("Erasing"), std::string::npos) << out;
        EXPECT_TRUE(Flash() == before);
    }
}

TEST_F(ProgrammingTest, AFailedEraseWriteOrCompareNamesTheIncompleteAreaAndTheBackupMendsIt) {
    ASSERT_NE(Program("old.bin", Firmware(0x200, 0x01000193)).find("Comparison was successful."),
              std::string::npos);
    const std::vector<uint8_t> original = Flash();
    const uint64_t start = adapter_->state().counters.requests;
    Program("new.bin", Firmware(0x1000, 0x9E3779B9));
    const uint32_t whole = static_cast<uint32_t>(adapter_->state().counters.requests - start);
    struct Case {
        std::function<void(sim::n5::Adapter&)> fault;
        const char* printed;
    };
    const Case cases[] = {
        {[](sim::n5::Adapter& a) { a.SetFlashNeverReady(true); },
         "1 sectors erased, failed on 7 sector...\n"},
        {[](sim::n5::Adapter& a) { a.FailRequestAfter(kRequestsBeforeErase + 32 + 2 + 500); },
         "Writing the Serial flash Failed !!!\n"},
        {[whole](sim::n5::Adapter& a) { a.FailRequestAfter(whole - 100); },
         "Reading the serial flash failed at 0x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        ProgramFile("old.bin");
        c.fault(*adapter_);
        const std::string out = ProgramFile("new.bin");
        adapter_->ClearFaults();
        EXPECT_NE(out.find(c.printed), std::string::npos) << out;
        EXPECT_NE(
            out.find(
                "The firmware area 0x00070000-0x0007FFFF of the serial flash is incomplete: run the same "
                "command again to restore it, or program nic0-firmware-<stamp>.bin with -p.\n"),
            std::string::npos)
            << out;
        ASSERT_NE(ProgramFile(SavedFile()).find("Comparison was successful."), std::string::npos);
        EXPECT_TRUE(Flash() == original);
    }
}

}  // namespace
}  // namespace qv::qvtool
