// -e and -w through whole runs of the tool on a simulated machine: what they print, what reaches
// the EEPROM and the protection word, the backup -w leaves, and what the adapter never sees when a
// step refuses. The runs work in a temporary directory, where -w saves its backups.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

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
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(files_.path());
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        Nic0Test::TearDown();
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

    // The output of a -w that saved a backup: its line, whose file name goes to *backup, and the rest.
    static std::string WithoutBackupLine(const std::string& out, const char* section, std::string* backup) {
        const std::regex line(std::string("Eeprom ") + section + " section backed up to (nic0-eeprom-" +
                              section + R"(-\d{8}-\d{6}(-\d+)?\.txt)\n)");
        std::smatch match;
        if (!std::regex_search(out, match, line) || match.position(0) != 0) return "no backup line: " + out;
        *backup = match[1];
        return match.suffix();
    }

    qv::testing::TempDir files_{"eeprom-run"};
    std::filesystem::path previous_;
};

TEST_F(EepromRunTest, PsramDumpedInAnyCaseWritesBackUnchanged) {
    const std::vector<uint8_t> before = Eeprom();
    const std::string dump = Path("psram.txt");
    EXPECT_EQ(RunOnNic0({"-e", "PsRaM", dump}), "");
    const std::string text = test::ReadFile(dump);
    EXPECT_EQ(text, FormatSectionValues(Eeprom(0x1000, 2112)));
    EXPECT_EQ(text.substr(0, 12), "10\n2f\n4e\n6d\n") << "the simulated part's pattern";

    const uint64_t written = WordsWritten();
    std::string backup;
    EXPECT_EQ(WithoutBackupLine(RunOnNic0({"-w", "psram", dump}), "psram", &backup),
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
    std::string backup;
    EXPECT_EQ(WithoutBackupLine(RunOnNic0({"-w", "scfg", file}), "scfg", &backup),
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
    // The backup's read does not complete: nothing is written, the protection word included.
    configWrites = requests[4];
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}),
              "VPD access did not complete\n"
              "Unable to read eeprom section scfg for its backup: nothing was written\n");
    EXPECT_EQ(requests[4] - configWrites, 1u) << "the address of the backup's first word";
    EXPECT_EQ(WordsWritten(), written);

    // Clearing the protection word fails (its first request, right after the backup's reads, which
    // are those of a dump): nothing of the section is written, and the protection word is still set
    // again.
    adapter_->ClearFaults();
    const uint64_t before = Requests();
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), FormatSectionValues(Eeprom(kScfg, 98)));
    const uint64_t walkAndRead = Requests() - before;
    adapter_->FailRequestAfter(static_cast<uint32_t>(walkAndRead + 1));
    std::string backup;
    EXPECT_EQ(WithoutBackupLine(RunOnNic0({"-w", "scfg", file}), "scfg", &backup),
              "Failed trying to write scfg");
    EXPECT_EQ(WordsWritten() - written, 1u) << "only the protection word, set again";
    EXPECT_EQ(ProtectionWord(), kEepromProtectionOn);
}

TEST_F(EepromRunTest, WriteLeavesABackupThatWriteTakesBack) {
    for (const EepromSection& section : EepromSections()) {
        if (!section.writable) continue;
        SCOPED_TRACE(section.name);
        const std::vector<uint8_t> old = Eeprom(section.start, section.length);
        std::vector<uint8_t> values(section.length);
        for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(~old[i]);
        const std::string file = File("new.txt", values);
        std::string backup;
        EXPECT_EQ(
            WithoutBackupLine(RunOnNic0({"-w", section.name, file}), section.name, &backup),
            std::string("Eeprom ") + section.name + " section written successfully from " + file + "\n");
        EXPECT_EQ(test::ReadFile(backup), FormatSectionValues(old)) << "the contents before the write";
        EXPECT_EQ(Eeprom(section.start, section.length), values);

        // The backup restores the section, and is not replaced by the backup of that write.
        std::string second;
        EXPECT_EQ(
            WithoutBackupLine(RunOnNic0({"-w", section.name, backup}), section.name, &second),
            std::string("Eeprom ") + section.name + " section written successfully from " + backup + "\n");
        EXPECT_NE(second, backup);
        EXPECT_EQ(test::ReadFile(second), FormatSectionValues(values));
        EXPECT_EQ(test::ReadFile(backup), FormatSectionValues(old));
        EXPECT_EQ(Eeprom(section.start, section.length), old);
    }
}

TEST_F(EepromRunTest, BackupThatCannotBeSavedWritesNothing) {
    const std::string file = File("scfg.txt", std::vector<uint8_t>(98, 0x5A));
    // A working directory that is gone takes no file.
    std::filesystem::create_directory(Path("gone"));
    std::filesystem::current_path(Path("gone"));
    std::filesystem::remove(Path("gone"));
    const std::vector<uint8_t> before = Eeprom();
    const uint64_t written = WordsWritten();
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}),
              "Unable to save the backup of eeprom section scfg: nothing was written\n");
    EXPECT_EQ(WordsWritten(), written);
    EXPECT_EQ(Eeprom(), before);
    // Refused sections and names save nothing either: there is nothing of them to write.
    EXPECT_EQ(RunOnNic0({"-w", "vpd", file}), "Writing to VPD is not Allowed");
    EXPECT_EQ(RunOnNic0({"-w", "other", file}), "");
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
