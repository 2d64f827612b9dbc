// qvsim's adapter commands, run as a user runs them on a fresh machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "qv/testing/program_run.h"
#include "qv/testing/temp_dir.h"

namespace {

using qv::testing::ReadFile;
using qv::testing::RunProgram;
using qv::testing::WriteFile;

// The words of a command line separated by spaces (paths here hold none).
std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Success when out holds every one of the texts; the failure shows out.
::testing::AssertionResult Contains(const std::string& out, std::initializer_list<std::string> texts) {
    for (const std::string& text : texts)
        if (out.find(text) == std::string::npos)
            return ::testing::AssertionFailure() << "no '" << text << "' in:\n" << out;
    return ::testing::AssertionSuccess();
}

class QvsimAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }

    // `qvsim adapter` with the words.
    qv::testing::Exited Adapter(const std::string& words) {
        std::vector<std::string> args = {"--machine", dir_.string(), "adapter"};
        for (std::string& word : Words(words)) args.push_back(std::move(word));
        return RunProgram("qvsim", {}, args);
    }
    // Its standard output; the command must succeed.
    std::string Run(const std::string& words) {
        const qv::testing::Exited run = Adapter(words);
        EXPECT_EQ(run.status, 0) << words << ": " << run.errors;
        return run.output;
    }
    // Each command line must end with status.
    void ExpectStatus(int status, std::initializer_list<std::string> lines) {
        for (const std::string& words : lines) EXPECT_EQ(Adapter(words).status, status) << words;
    }
    // The faults `adapter <instance> show` lists.
    std::string Faults(int instance = 0) {
        const std::string show = Run(std::to_string(instance) + " show");
        const size_t at = show.find("faults: ");
        return at == std::string::npos ? show : show.substr(at + 8, show.find('\n', at) - at - 8);
    }

    // qvtool on the machine with the words (and the extra environment entries): its standard output.
    std::string Tool(const std::string& words, const std::vector<std::string>& extraEnv = {}) {
        return RunProgram("qvtool", dir_, Words(words), extraEnv).output;
    }
    std::string Nic0(const std::string& words) { return Tool("-d nic0 " + words); }

    qv::testing::TempDir temp_{"qvsim-adapter"};
    std::filesystem::path dir_ = temp_ / "machine";  // created by the first command
};

TEST_F(QvsimAdapterTest, WordsAreReadAndWrittenPerInstance) {
    EXPECT_EQ(Run("0 reg 6f4"), "0x00000003\n");
    EXPECT_EQ(Run("1 reg 100 abcd"), "");
    EXPECT_EQ(Run("1 reg 100"), "0x0000ABCD\n");
    EXPECT_EQ(Run("0 reg 100"), "0x00280201\n");
    EXPECT_EQ(Run("0 cim 2010 5"), "");
    EXPECT_EQ(Run("0 cim 2010"), "0x00000005\n");
    EXPECT_EQ(Run("0 config 0"), "0x00055A5A\n");
}

TEST_F(QvsimAdapterTest, FaultsAreSwitchedAndShown) {
    ExpectStatus(0, {"0 fault function 7 on", "0 fault reg-write 2b4 on", "0 fault cim-busy on"});
    EXPECT_EQ(Faults(), "function 7, reg-write 0x2B4, cim-busy");
    Run("0 fault function 7 off");
    EXPECT_EQ(Faults(), "reg-write 0x2B4, cim-busy");
    Run("0 fault clear");
    EXPECT_EQ(Faults(0), "none");
    EXPECT_EQ(Faults(1), "none");
}

TEST_F(QvsimAdapterTest, LookupFaultsReachTheTool) {
    Run("0 fault open 31");
    EXPECT_EQ(Nic0("-r 6f4"), "CreateFile failed: 0x1f0x00000000\n");
    Run("0 fault open off");
    ExpectStatus(2, {"0 fault detail maybe"});
}

TEST_F(QvsimAdapterTest, FlashIsLoadedAndDumpedAndItsFaultsSwitched) {
    const std::filesystem::path image = temp_ / "image.bin", dump = temp_ / "dump.bin";
    ASSERT_TRUE(WriteFile(image, "firmware"));
    ExpectStatus(0, {"0 flash load " + image.string(), "0 flash dump " + dump.string()});
    const std::string dumped = ReadFile(dump);
    ASSERT_EQ(dumped.size(), 1024u * 1024u);
    EXPECT_EQ(dumped.substr(0, 8), "firmware");
    EXPECT_EQ(dumped.find_first_not_of('\xFF', 8), std::string::npos) << "the rest reads erased";

    // A file larger than the part, or none, is refused and the part keeps its contents.
    ASSERT_TRUE(WriteFile(image, std::string(1024 * 1024 + 1, '\0')));
    ExpectStatus(1, {"0 flash load " + image.string(), "0 flash load " + (temp_ / "missing").string()});
    Run("0 flash dump " + dump.string());
    EXPECT_EQ(ReadFile(dump).substr(0, 8), "firmware");
    ExpectStatus(2, {"0 flash erase"});

    ExpectStatus(0, {"0 fault flash-never-ready on", "0 fault flash-wren-ignored on"});
    EXPECT_EQ(Faults(), "flash-never-ready, flash-wren-ignored");
    Run("0 fault clear");
    EXPECT_EQ(Faults(), "none");
}

TEST_F(QvsimAdapterTest, EepromIsLoadedAndDumpedWholeAndItsFaultsSwitched) {
    const std::filesystem::path image = temp_ / "eeprom.bin", dump = temp_ / "dump.bin";
    std::string contents(32 * 1024, '\0');
    contents.replace(0, 3, "A1z");
    ASSERT_TRUE(WriteFile(image, contents));
    ExpectStatus(0, {"0 eeprom load " + image.string(), "0 eeprom dump " + dump.string()});
    EXPECT_EQ(ReadFile(dump), contents);

    // Only the whole part is loaded: a shorter or longer file leaves it as it was.
    for (size_t size : {contents.size() - 1, contents.size() + 1}) {
        ASSERT_TRUE(WriteFile(image, std::string(size, 'x')));
        ExpectStatus(1, {"0 eeprom load " + image.string()});
    }
    Run("0 eeprom dump " + dump.string());
    EXPECT_EQ(ReadFile(dump), contents);
    ExpectStatus(2, {"0 eeprom erase"});

    ExpectStatus(0, {"0 fault vpd-absent on", "0 fault vpd-never-completes on"});
    EXPECT_EQ(Faults(), "vpd-absent, vpd-never-completes");
}

TEST_F(QvsimAdapterTest, JtagChainIsSetShownAndDumpedAfterTheTool) {
    const std::filesystem::path board = temp_ / "board.conf", bits = temp_ / "top.bit",
                                dump = temp_ / "got.bin";
    ASSERT_TRUE(WriteFile(bits, "\x11\x22\x33\x44"));
    ASSERT_TRUE(WriteFile(board, "0 F5057093 prom\n1 1127E093 top " + bits.string() + "\n"));
    Run("0 jtag chain XCF08P 1127e093");
    Tool("-d nic0 -g " + board.string(), {"QV_VIRTUAL_TIME=1"});
    EXPECT_TRUE(
        Contains(Run("0 jtag show"),
                 {"chain: 2 devices\n",
                  "  0. 0xF5057093 XCF08P    Run-Test/Idle    instruction 0xFFFF, received 0 bits",
                  "  1. 0x1127E093 XC2VP30   Run-Test/Idle    instruction 0x3FCC, received 33 bits"}));
    Run("0 jtag dump 1 " + dump.string());
    EXPECT_EQ(ReadFile(dump), std::string("\x11\x22\x33\x44\x00", 5));

    std::string full = "0 jtag chain";
    for (int k = 0; k < 72; ++k) full += " 1127e093";  // a full chain still shows, one more is refused
    ExpectStatus(1, {"0 jtag dump 2 " + dump.string(), "0 jtag chain XC9", full + " 1127e093"});
    Run(full);
    EXPECT_TRUE(Contains(Run("0 jtag show"), {"chain: 72 devices\n", "  71. 0x1127E093 "}));
    Run("0 jtag chain");
    EXPECT_TRUE(Contains(Run("0 jtag show"), {"chain: 0 devices\n"}));

    ExpectStatus(0, {"0 fault jtag-never-completes on", "0 fault jtag-unknown-idcode on"});
    EXPECT_EQ(Faults(), "jtag-never-completes, jtag-unknown-idcode");
}

TEST_F(QvsimAdapterTest, VersionsTraceAndTheToolsRequestsShowInInfo) {
    EXPECT_TRUE(Contains(Run("0 info"), {"bus driver version: 3.2.0.17\nloaded microcode: 1.4.3\n"
                                         "firmware words: 0x00070210 at 0x7FFFC, 0xFFFFFFFF at 0x77FFC\n"
                                         "trace: 80 entries left, next entry 0, 0 buffers handed out\n",
                                         "blink: never asked\n"}));
    ExpectStatus(0, {"0 versions vbd 4.0.1.22", "0 versions microcode 2.0.255",
                     "0 versions firmware 1007020A 7", "0 trace load 40", "0 fault microcode-stuck on"});
    for (const char* words : {"-o", "-b 9", "-m qs6 default_txq 3"}) Nic0(words);
    EXPECT_TRUE(
        Contains(Run("0 info"), {"bus driver version: 4.0.1.22\nloaded microcode: 2.0.255 (handshake stuck)\n"
                                 "firmware words: 0x1007020A at 0x7FFFC, 0x00000007 at 0x77FFC\n"
                                 "trace: 0 entries left, next entry 40, 2 buffers handed out\n",
                                 "qs6: holdoff=0x32 maxrxpkts=0x40 cpu_affinity=0x6 default_txq=0x3 "
                                 "percent_below_dpc_threshold=0x19\n",
                                 "blink: 1 requests, last for 9 seconds\n"}));
    EXPECT_EQ(Faults(), "microcode-stuck");
}

TEST_F(QvsimAdapterTest, ConnectionMemoryAndTheLogicAnalyserAreSetForTheTool) {
    Run("0 mem tcb 3ff 8 09");  // logical TCB word 0 is the third word stored: state 9
    EXPECT_EQ(Nic0("-f -s tcb 3ff").substr(0, 38), "tcb 1023\n  state                  = 9h");
    Run("0 mem wrc f 4 78563412");  // a WRC's tid is its first big-endian word: the chip's bytes 4-7 reversed
    EXPECT_TRUE(Contains(Nic0("-s wrc f"), {"\n4 tid : 0x12345678 (305419896)\n"}));
    Run("0 mem stag 1ff00 4 00000000");  // entry 0x1FF: e0, the high half of word 0
    EXPECT_TRUE(Contains(Nic0("-s stag 1ff00"), {"Valid 0 Key 0x0 State 0 Type 0x0 PDID 0x0 \n"}));
    ExpectStatus(1,
                 {"0 mem tcb 400 0 00", "0 mem wrc 10 0 00", "0 mem stag 20000 0 00", "0 mem tcb 0 7f 0000"});

    ExpectStatus(0, {"0 la wptr 0", "0 la sample 7f 123456789abcdef0"});
    EXPECT_EQ(Nic0("-s tp 1").substr(0, 59),
              "TP_DBG_LA_CONFIG=0x8000\n\nrptr=0x7f  value=123456789abcdef0\n");
    Run("0 la step 2");
    EXPECT_TRUE(Contains(Nic0("-s tp 1"), {"WARNING: wptr has changed from 0x2 to 0x4\n"}));
    EXPECT_TRUE(Contains(Run("0 la show"), {"write pointer 0x04, 2 samples per config read"}));
    ExpectStatus(2, {"0 la wptr 80", "0 la step 81", "0 la sample 0", "0 mem tcb 0 0 0g", "0 mem tcb 0 0 123",
                     "0 mem dram 0 0 00"});
}

TEST_F(QvsimAdapterTest, StatisticsScenariosReachTheTool) {
    EXPECT_EQ(Run("1 stats link 1 down 4 0"), "");
    EXPECT_EQ(Tool("-d nic1 -u phy1"), "link_speed : unknown\nlink_duplex : half\nlink_status : down\n");
    EXPECT_EQ(Nic0("-u phy1"), "link_speed : 10Gb/s\nlink_duplex : full\nlink_status : up\n");

    // u64@68 is tcpCongDrop1.
    ExpectStatus(0, {"0 stats set tcp tcpRtoMax 0x10", "0 stats set tcp u64@68 77",
                     "0 stats set sge cim_eops 0xbeef"});
    EXPECT_TRUE(Contains(Nic0("-u tcp"), {"tcpRtoMax : \t\t16\n", "tcpCongDrop1 : \t\t77\n"}));
    EXPECT_TRUE(Contains(Nic0("-u sge"), {"cim_eops : \t\t BEEF\n"}));
    Run("0 stats qsets 0");
    EXPECT_EQ(Nic0("-u intr").find("qs0"), std::string::npos);
    Run("0 stats functions 0 0");
    EXPECT_EQ(Nic0("-u toe").find("Port : \t\t0\n"), std::string::npos);
    Run("0 stats connection 5 99 aa:bb:cc:00:11:22");
    EXPECT_EQ(Nic0("-s chim5 0"), "chim5 : aa:bb:cc:00:11:22\nsocket tid:99\n");
    Run("0 stats connection 5 none");
    EXPECT_EQ(Nic0("-s chim5 0"), "chim5 : aa:bb:cc:00:11:22\n");
    Run("0 stats reset");
    EXPECT_TRUE(Contains(Nic0("-u toe"), {"Port : \t\t0\n"}));

    ExpectStatus(1, {"0 stats set mac2 tx_frames 1", "0 stats set mac0 no_such 1", "0 stats set ip u64@68 1",
                     "0 stats set sge nothing 1"});
    ExpectStatus(2, {"0 stats", "0 stats link 2 up", "0 stats link 0 sideways", "0 stats set ip ipInReceive",
                     "0 stats set ip ipInReceive -1", "0 stats connection 16 1",
                     "0 stats connection 1 1 aa:bb", "0 stats qsets x"});
}

TEST_F(QvsimAdapterTest, BadWordsAreRefused) {
    ExpectStatus(1, {"9 show", "0 reg 10000"});
    ExpectStatus(
        2, {"0", "x show", "0 fault function 32 on", "0 fault reg-read 10 maybe", "0 reg zz", "0 frobnicate",
            "0 reg 10 -1", "0 jtag", "0 jtag dump 0", "0 versions vbd 1.2.3", "0 versions microcode 1.256.0",
            "0 versions firmware x", "0 trace load -1", "0 trace", "0 info now"});
    Run("0 reset");
}

// The on-chip state commands set what the tool then reads; bad words change nothing.
TEST_F(QvsimAdapterTest, ContextDescriptorAndTableEntriesReachTheTool) {
    EXPECT_EQ(Run("0 context 2 65529 8000000000000001 ABCD"), "");
    EXPECT_EQ(Run("0 context 1 65529"), "f0 = 0x8000000000000001\nf1 = 0x000000000000ABCD\n");
    EXPECT_EQ(Run("0 descriptor 8 3 13 0BD000000ABCDE08 1122334455667788"), "");
    EXPECT_EQ(Run("0 table lkp 63 8000FFFF"), "");
    EXPECT_EQ(Run("0 table lkp 63"), "0x8000FFFF\n");
    std::string out;
    for (const char* args : {"-q ctrl1", "-Q ctrl1 3 1", "-t lkp"}) out += Nic0(args);
    EXPECT_EQ(out.substr(0, 88),
              "\nControl context id = 65529\ncntxt.f0 = 0x8000000000000001\ncntxt.f1 = 0x000000000000ABCD\n");
    EXPECT_TRUE(
        Contains(out, {"Descriptor 3: cmd 11, TID 703710, SOP, EOP, SGL, 8 flits\n0BD000000ABCDE08\nTP lkp",
                       "   63 :\t0x0000ffff \t Valid\n"}));
    for (const char* bad : {"0 context 3 18", "0 context 5 0", "0 descriptor 48 0", "0 descriptor 0 16",
                            "0 table pace 8", "0 table rss 0", "0 context 0 8 x 0"})
        EXPECT_NE(Adapter(bad).status, 0) << bad;
    EXPECT_EQ(Run("0 context 0 8").substr(0, 4), "f0 =");
}

}  // namespace
