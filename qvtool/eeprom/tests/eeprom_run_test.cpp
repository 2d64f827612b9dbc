// -e and -w through whole runs of the tool on a simulated machine: what they print, what reaches
// the EEPROM and the protection word, and what the adapter never sees when a step refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/eeprom/eeprom_commands.h"
#include "qv/qvtool/eeprom/section_text.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kScfg = 0x1940;

class EepromRunTest : public test::Nic0Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(files_.ok());
        Nic0Test::SetUp();
    }
    std::vector<uint8_t> Eeprom(uint32_t start = 0, uint32_t length = kEepromBytes) {
        const uint8_t* m = adapter_->state().vpd.memory + start;
        return std::vector<uint8_t>(m, m + length);
    }
    uint32_t ProtectionWord() {
        uint32_t word = 0;
        std::memcpy(&word, adapter_->state().vpd.memory + kEepromProtectionWord, 4);
        return word;
    }
    uint64_t Requests() const { return adapter_->state().counters.requests; }
    uint64_t WordsWritten() const { return adapter_->state().vpd.wordsWritten; }
    std::string Path(const char* name) const { return (files_.path() / name).string(); }
    std::string File(const char* name, const std::vector<uint8_t>& values) {
        std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << FormatSectionValues(values);
        return Path(name);
    }

    qv::testing::TempDir files_{"eeprom-run"};
};

TEST_F(EepromRunTest, PsramDumpedInAnyCaseWritesBackUnchanged) {
    const std::vector<uint8_t> before = Eeprom();
    const std::string dump = Path("psram.txt");
    EXPECT_EQ(RunOnNic0({"-e", "PsRaM", dump}), "");
    const std::string text = test::ReadFile(dump);
    EXPECT_EQ(text, FormatSectionValues(Eeprom(0x1000, 2112)));
    EXPECT_EQ(text.substr(0, 12), "10\n2f\n4e\n6d\n") << "the simulated part's pattern";

    const uint64_t written = WordsWritten();
    EXPECT_EQ(RunOnNic0({"-w", "psram", dump}),
              "Eeprom psram section written successfully from " + dump + "\n");
    EXPECT_EQ(WordsWritten() - written, 2112 / 4 + 2) << "the section and the protection word twice";
    EXPECT_EQ(Eeprom(), before);
    EXPECT_EQ(RunOnNic0({"-e", "psram", dump}), "");
    EXPECT_EQ(test::ReadFile(dump), text);
}

TEST_F(EepromRunTest, VpdDumpAnnotatesEveryByteAndRunsBeforeAnyWrite) {
    adapter_->state().vpd.memory[0] = 0x41;
    const std::string out = RunOnNic0({"-w", "psram", "-e", "vpd"});
    EXPECT_EQ(out.substr(0, 29), "buf_size = 4096\n\n0x0000:41:A\n");
    EXPECT_EQ(out, "buf_size = 4096\n" + FormatVpdDump(Eeprom(0, 4096)) +
                       "Must provide an eeprom section psram config file\n");
    // Into a file: the size line still goes to standard output.
    EXPECT_EQ(RunOnNic0({"-e", "VPD", Path("vpd.txt")}), "buf_size = 4096\n");
    EXPECT_EQ(test::ReadFile(Path("vpd.txt")), FormatVpdDump(Eeprom(0, 4096)));
}

TEST_F(EepromRunTest, WritingVpdIsRefusedBetweenTheTwoProtectionWrites) {
    const std::string file = File("vpd.txt", std::vector<uint8_t>(4096, 1));
    std::memset(adapter_->state().vpd.memory + kEepromProtectionWord, 0xFF, 4);
    const std::vector<uint8_t> before = Eeprom(0, 4096);
    uint64_t written = WordsWritten();
    const uint64_t requests = Requests();
    EXPECT_EQ(RunOnNic0({"-w", "vpd", file}), "Writing to VPD is not Allowed");
    EXPECT_EQ(WordsWritten() - written, 2u);
    EXPECT_EQ(ProtectionWord(), kEepromProtectionOn);
    EXPECT_EQ(Eeprom(0, 4096), before);

    // The same run with its last protection write failing (data, address, polls): the 0 stays.
    const uint64_t lastWrite = 2 + sim::n5::VpdEepromPart::kBusyPolls + 1;
    adapter_->FailRequestAfter(static_cast<uint32_t>(Requests() - requests - lastWrite + 1));
    written = WordsWritten();
    EXPECT_EQ(RunOnNic0({"-w", "vpd", file}), "Writing to VPD is not Allowed");
    EXPECT_EQ(WordsWritten() - written, 1u);
    EXPECT_EQ(ProtectionWord(), kEepromProtectionOff);
}

TEST_F(EepromRunTest, ScfgWriteKeepsTheTwoBytesAfterTheSection) {
    std::vector<uint8_t> values(98);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(0xA0 ^ i);
    std::memcpy(adapter_->state().vpd.memory + kScfg + 98, "\xAB\xCD\xEF", 3);
    const std::string file = File("scfg.txt", values);
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}),
              "Eeprom scfg section written successfully from " + file + "\n");
    EXPECT_EQ(Eeprom(kScfg, 98), values);
    EXPECT_EQ(Eeprom(kScfg + 98, 3), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), FormatSectionValues(values));
}

TEST_F(EepromRunTest, RefusedFilesReachNoRequestAndDumpFilesAreNotWaitedOn) {
    const std::string dir = files_.path().string();
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"-w", "scfg", File("short.txt", std::vector<uint8_t>(97))}, "Failed while reading scfg file"},
        {{"-w", "psram"}, "Must provide an eeprom section psram config file\n"},
        {{"-w", "Scfg", Path("none")},
         "Unable to open eeprom section Scfg config file " + Path("none") + "\n"},
        {{"-w", "psram", dir}, "Unable to open eeprom section psram config file " + dir + "\n"},
    };
    const std::vector<uint8_t> before = Eeprom();
    for (const auto& [words, out] : refused) {
        const uint64_t requests = Requests();
        EXPECT_EQ(RunOnNic0(words), out);
        EXPECT_EQ(Requests(), requests) << out;
    }
    EXPECT_EQ(Eeprom(), before);

    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    for (const std::string& path : {Path("no/such/dir"), dir, Path("fifo")}) {
        EXPECT_EQ(RunOnNic0({"-e", "psram", path}),
                  "Unable to open eeprom section psram output file " + path + "\n");
    }
    // An unknown section creates the file and writes nothing.
    EXPECT_EQ(RunOnNic0({"-e", "sram", File("other.txt", {1})}), "");
    EXPECT_EQ(test::ReadFile(Path("other.txt")), "");
}

TEST_F(EepromRunTest, FaultsOfTheVpdCapability) {
    const std::string file = File("scfg.txt", Eeprom(kScfg, 98));
    const uint64_t* requests = adapter_->state().counters.functionRequests;  // 3 config reads, 4 writes
    const uint64_t written = WordsWritten();
    adapter_->SetVpdAbsent(true);
    uint64_t configWrites = requests[4];
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), "The adapter has no VPD capability\n");
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}), "The adapter has no VPD capability\n");
    EXPECT_EQ(requests[4], configWrites) << "no configuration register written";

    adapter_->ClearFaults();
    adapter_->SetVpdNeverCompletes(true);
    const uint64_t configReads = requests[3];
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), "VPD access did not complete\nReading eeprom section scfg failed\n");
    EXPECT_EQ(requests[3] - configReads, 5u + 10000u) << "the walk (0x34, four capabilities), then the polls";
    // Clearing the protection word does not complete: nothing of the section is written, and the
    // protection word is still set again.
    configWrites = requests[4];
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}),
              "VPD access did not complete\nFailed trying to write scfgVPD access did not complete\n");
    EXPECT_EQ(requests[4] - configWrites, 4u) << "data and address of the two protection writes";
    EXPECT_EQ(WordsWritten(), written);
}

TEST_F(EepromRunTest, ProgressLineIsDrawnAndClearedBeforeAMessage) {
    AdapterConnection connection;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(OpenAdapter(0, &connection, out));
    {
        ProgressLine progress = ProgressLine::Always(err, out);
        RunEepromDump({true, "scfg", Path("scfg.txt")}, connection.device, out, &progress);
        adapter_->SetVpdNeverCompletes(true);
        RunEepromDump({true, "scfg", ""}, connection.device, out, &progress);
    }
    CloseAdapter(&connection);
    std::fclose(out);
    const std::string drawn = qv::testing::ReadStream(err);
    std::fclose(err);
    EXPECT_EQ(drawn.rfind("\rReading   0%", 0), 0u) << drawn;
    EXPECT_NE(drawn.find("\rReading 100%\r            \r"), std::string::npos) << drawn;
    // The range that does not complete leaves no line behind it.
    const std::string last = "\rReading   0%\r            \r";
    ASSERT_GT(drawn.size(), last.size());
    EXPECT_EQ(drawn.substr(drawn.size() - last.size()), last);
}

}  // namespace
}  // namespace qv::qvtool
