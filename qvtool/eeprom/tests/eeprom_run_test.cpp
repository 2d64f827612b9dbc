// -e and -w through whole runs of the tool on a simulated machine: what they print, what reaches
// the EEPROM and the protection word, and what the adapter never sees when a step refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/eeprom/eeprom_commands.h"
#include "qv/qvtool/eeprom/section_text.h"
#include "qv/qvtool/eeprom/sections.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kPsram = 0x1000;
constexpr uint32_t kScfg = 0x1940;

class EepromRunTest : public test::Nic0Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(files_.ok());
        Nic0Test::SetUp();
    }
    uint8_t* Eeprom() { return adapter_->state().vpd.memory; }
    std::vector<uint8_t> EepromBytes(uint32_t start, uint32_t length) {
        return std::vector<uint8_t>(Eeprom() + start, Eeprom() + start + length);
    }
    uint32_t ProtectionWord() {
        uint32_t word = 0;
        std::memcpy(&word, Eeprom() + kEepromProtectionWord, 4);
        return word;
    }
    uint64_t Requests() const { return adapter_->state().counters.requests; }
    uint64_t WordsWritten() const { return adapter_->state().vpd.wordsWritten; }
    std::string File(const char* name, const std::string& contents) {
        const std::string path = (files_.path() / name).string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
        return path;
    }
    std::string Path(const char* name) const { return (files_.path() / name).string(); }

    qv::testing::TempDir files_{"eeprom-run"};
};

std::string ValueLines(const std::vector<uint8_t>& bytes) {
    return FormatSectionValues(bytes);
}

TEST_F(EepromRunTest, PsramDumpedInAnyCaseWritesBackUnchanged) {
    const std::vector<uint8_t> before = EepromBytes(0, kEepromBytes);
    const std::string dump = Path("psram.txt");
    EXPECT_EQ(RunOnNic0({"-e", "PsRaM", dump}), "");
    const std::string text = test::ReadFile(dump);
    EXPECT_EQ(text, ValueLines(EepromBytes(kPsram, 2112)));
    EXPECT_EQ(text.substr(0, 12), "10\n2f\n4e\n6d\n") << "the simulated part's pattern";

    const uint64_t written = WordsWritten();
    EXPECT_EQ(RunOnNic0({"-w", "psram", dump}),
              "Eeprom psram section written successfully from " + dump + "\n");
    EXPECT_EQ(WordsWritten() - written, 2112 / 4 + 2) << "the section and the protection word twice";
    EXPECT_EQ(EepromBytes(0, kEepromBytes), before);
    EXPECT_EQ(ProtectionWord(), kEepromProtectionOn);

    EXPECT_EQ(RunOnNic0({"-e", "psram", dump}), "");
    EXPECT_EQ(test::ReadFile(dump), text);
}

TEST_F(EepromRunTest, VpdDumpAnnotatesEveryByteOnStandardOutput) {
    Eeprom()[0] = 0x41;
    const std::string out = RunOnNic0({"-e", "vpd"});
    EXPECT_EQ(out.substr(0, 29), "buf_size = 4096\n\n0x0000:41:A\n");
    EXPECT_EQ(out, "buf_size = 4096\n" + FormatVpdDump(EepromBytes(0, 4096)));
    // Into a file: the size line still goes to standard output.
    const std::string dump = Path("vpd.txt");
    EXPECT_EQ(RunOnNic0({"-e", "VPD", dump}), "buf_size = 4096\n");
    EXPECT_EQ(test::ReadFile(dump), FormatVpdDump(EepromBytes(0, 4096)));
}

TEST_F(EepromRunTest, WritingVpdIsRefusedBetweenTheTwoProtectionWrites) {
    const std::string file = File("vpd.txt", ValueLines(std::vector<uint8_t>(4096, 1)));
    std::memset(Eeprom() + kEepromProtectionWord, 0xFF, 4);
    const std::vector<uint8_t> area = EepromBytes(0, 4096);
    uint64_t written = WordsWritten();
    const uint64_t requests = Requests();
    EXPECT_EQ(RunOnNic0({"-w", "vpd", file}), "Writing to VPD is not Allowed");
    EXPECT_EQ(WordsWritten() - written, 2u);
    EXPECT_EQ(ProtectionWord(), kEepromProtectionOn);
    EXPECT_EQ(EepromBytes(0, 4096), area);

    // The same run with its last protection write failing: the 0 written first stays.
    const uint64_t perRun = Requests() - requests;
    const uint64_t lastWriteRequests = 2 + sim::n5::VpdEepromPart::kBusyPolls + 1;
    adapter_->FailRequestAfter(static_cast<uint32_t>(perRun - lastWriteRequests + 1));
    written = WordsWritten();
    EXPECT_EQ(RunOnNic0({"-w", "vpd", file}), "Writing to VPD is not Allowed");
    EXPECT_EQ(WordsWritten() - written, 1u);
    EXPECT_EQ(ProtectionWord(), kEepromProtectionOff);
}

TEST_F(EepromRunTest, ScfgWriteKeepsTheTwoBytesAfterTheSection) {
    std::vector<uint8_t> values(98);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(0xA0 ^ i);
    Eeprom()[kScfg + 98] = 0xAB;
    Eeprom()[kScfg + 99] = 0xCD;
    Eeprom()[kScfg + 100] = 0xEF;
    const std::string file = File("scfg.txt", ValueLines(values));
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}),
              "Eeprom scfg section written successfully from " + file + "\n");
    EXPECT_EQ(EepromBytes(kScfg, 98), values);
    EXPECT_EQ(EepromBytes(kScfg + 98, 3), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), ValueLines(values));
}

TEST_F(EepromRunTest, RefusedFilesAndMissingNamesReachNoRequest) {
    const struct {
        const char* what;
        std::vector<std::string> words;
        std::string out;
    } cases[] = {
        {"97-line scfg file",
         {"-w", "scfg", File("short.txt", ValueLines(std::vector<uint8_t>(97)))},
         "Failed while reading scfg file"},
        {"psram without a file", {"-w", "psram"}, "Must provide an eeprom section psram config file\n"},
        {"missing file",
         {"-w", "Scfg", Path("missing.txt")},
         "Unable to open eeprom section Scfg config file " + Path("missing.txt") + "\n"},
        {"a directory as the file",
         {"-w", "psram", files_.path().string()},
         "Unable to open eeprom section psram config file " + files_.path().string() + "\n"},
    };
    const std::vector<uint8_t> before = EepromBytes(0, kEepromBytes);
    for (const auto& c : cases) {
        const uint64_t requests = Requests();
        EXPECT_EQ(RunOnNic0(c.words), c.out) << c.what;
        EXPECT_EQ(Requests(), requests) << c.what;
    }
    EXPECT_EQ(EepromBytes(0, kEepromBytes), before);
}

TEST_F(EepromRunTest, DumpFilesThatCannotBeOpenedAreNotWaitedOn) {
    const std::string fifo = Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {Path("no/such/dir/x"), files_.path().string(), fifo}) {
        EXPECT_EQ(RunOnNic0({"-e", "psram", path}),
                  "Unable to open eeprom section psram output file " + path + "\n");
    }
    // An unknown section creates the file and writes nothing.
    const std::string dump = File("other.txt", "old");
    EXPECT_EQ(RunOnNic0({"-e", "sram", dump}), "");
    EXPECT_EQ(test::ReadFile(dump), "");
}

TEST_F(EepromRunTest, DumpRunsBeforeWriteWhateverTheOrder) {
    const std::string out = RunOnNic0({"-w", "psram", "-e", "vpd"});
    EXPECT_EQ(out.rfind("buf_size = 4096\n", 0), 0u);
    const std::string tail = "Must provide an eeprom section psram config file\n";
    ASSERT_GT(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST_F(EepromRunTest, FaultsOfTheVpdCapability) {
    const std::string file = File("scfg.txt", ValueLines(EepromBytes(kScfg, 98)));
    const auto& configRequests = adapter_->state().counters.functionRequests;
    const uint64_t written = WordsWritten();

    adapter_->SetVpdAbsent(true);
    uint64_t configWrites = configRequests[4];
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), "The adapter has no VPD capability\n");
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}), "The adapter has no VPD capability\n");
    EXPECT_EQ(configRequests[4], configWrites) << "no configuration register written";
    EXPECT_EQ(WordsWritten(), written);

    adapter_->ClearFaults();
    adapter_->SetVpdNeverCompletes(true);
    // The walk (0x34 and four capabilities), the address write, then the bounded polls.
    uint64_t configReads = configRequests[3];
    EXPECT_EQ(RunOnNic0({"-e", "scfg"}), "VPD access did not complete\nReading eeprom section scfg failed\n");
    EXPECT_EQ(configRequests[3] - configReads, 5u + 10000u);
    EXPECT_EQ(RunOnNic0({"-e", "vpd"}),
              "buf_size = 4096\nVPD access did not complete\nReading eeprom section vpd failed\n");

    // Clearing the protection word does not complete: nothing of the section is written, and the
    // protection word is still set again (which does not complete either).
    configWrites = configRequests[4];
    EXPECT_EQ(RunOnNic0({"-w", "scfg", file}),
              "VPD access did not complete\nFailed trying to write scfgVPD access did not complete\n");
    EXPECT_EQ(configRequests[4] - configWrites, 4u) << "data and address of the two protection writes";
    EXPECT_EQ(WordsWritten(), written);
}

TEST_F(EepromRunTest, ProgressLineIsDrawnAndClearedBeforeEveryMessage) {
    AdapterConnection connection;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(OpenAdapter(0, &connection, out));
    const auto text = [](std::FILE* f) {
        std::string t(static_cast<size_t>(std::ftell(f)), '\0');
        std::rewind(f);
        t.resize(std::fread(t.data(), 1, t.size(), f));
        return t;
    };
    {
        ProgressLine progress = ProgressLine::Always(err, out);
        RunEepromDump({true, "scfg", Path("scfg.txt")}, connection.device, out, &progress);
        adapter_->SetVpdNeverCompletes(true);
        RunEepromDump({true, "scfg", Path("scfg.txt")}, connection.device, out, &progress);
    }
    CloseAdapter(&connection);
    const std::string drawn = text(err);
    const std::string printed = text(out);
    std::fclose(out);
    std::fclose(err);
    // The percent as the words go, then a blank that erases the line.
    EXPECT_EQ(drawn.rfind("\rReading   0%", 0), 0u) << drawn;
    EXPECT_NE(drawn.find("\rReading 100%\r            \r"), std::string::npos) << drawn;
    // The range that does not complete leaves no line behind its message.
    const std::string last = "\rReading   0%\r            \r";
    ASSERT_GT(drawn.size(), last.size());
    EXPECT_EQ(drawn.substr(drawn.size() - last.size()), last);
    EXPECT_EQ(printed, "VPD access did not complete\nReading eeprom section scfg failed\n");
}

}  // namespace
}  // namespace qv::qvtool
