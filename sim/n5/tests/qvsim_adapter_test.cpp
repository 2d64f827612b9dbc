// qvsim's adapter commands, run as a user runs them on a fresh machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qv/testing/program_run.h"
#include "qv/testing/temp_dir.h"

namespace {

using qv::testing::RunProgram;

// The words of a command line separated by spaces (paths here hold none).
std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

class QvsimAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }

    // Runs qvsim with the words and returns its standard output.
    std::string Run(const std::string& words, int* status = nullptr) {
        std::vector<std::string> args = {"--machine", dir_.string(), "adapter"};
        for (std::string& word : Words(words)) args.push_back(std::move(word));
        const qv::testing::Exited run = RunProgram("qvsim", {}, args);
        if (status != nullptr) *status = run.status;
        return run.output;
    }

    // Runs qvtool on the machine with the words (and the extra environment entries) and returns its
    // standard output.
    std::string Tool(const std::string& words, const std::vector<std::string>& extraEnv = {}) {
        return RunProgram("qvtool", dir_, Words(words), extraEnv).output;
    }

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
    Run("0 fault function 7 on");
    Run("0 fault reg-write 2b4 on");
    Run("0 fault cim-busy on");
    std::string show = Run("0 show");
    EXPECT_NE(show.find("faults: function 7, reg-write 0x2B4, cim-busy\n"), std::string::npos) << show;
    Run("0 fault function 7 off");
    show = Run("0 show");
    EXPECT_NE(show.find("faults: reg-write 0x2B4, cim-busy\n"), std::string::npos) << show;
    Run("0 fault clear");
    EXPECT_NE(Run("0 show").find("faults: none\n"), std::string::npos);
    EXPECT_NE(Run("1 show").find("faults: none\n"), std::string::npos);
}

TEST_F(QvsimAdapterTest, LookupFaultsReachTheTool) {
    Run("0 fault open 31");
    EXPECT_EQ(Tool("-d nic0 -r 6f4"), "CreateFile failed: 0x1f0x00000000\n");
    int status = 0;
    Run("0 fault open off", &status);
    EXPECT_EQ(status, 0);
    Run("0 fault detail maybe", &status);
    EXPECT_EQ(status, 2);
}

TEST_F(QvsimAdapterTest, FlashIsLoadedAndDumpedAndItsFaultsSwitched) {
    const std::filesystem::path image = temp_ / "image.bin";
    const std::filesystem::path dump = temp_ / "dump.bin";
    std::ofstream(image, std::ios::binary) << "firmware";
    int status = -1;
    Run("0 flash load " + image.string(), &status);
    EXPECT_EQ(status, 0);
    Run("0 flash dump " + dump.string(), &status);
    EXPECT_EQ(status, 0);
    std::string dumped = qv::testing::ReadFile(dump);
    ASSERT_EQ(dumped.size(), 1024u * 1024u);
    EXPECT_EQ(dumped.substr(0, 9), std::string("firmware\xFF"));
    EXPECT_EQ(dumped.find_first_not_of('\xFF', 8), std::string::npos) << "the rest reads erased";

    // A file larger than the part is refused and the part keeps its contents.
    std::ofstream(image, std::ios::binary) << std::string(1024 * 1024 + 1, '\0');
    Run("0 flash load " + image.string(), &status);
    EXPECT_EQ(status, 1);
    Run("0 flash dump " + dump.string(), &status);
    EXPECT_EQ(qv::testing::ReadFile(dump).substr(0, 8), "firmware");
    Run("0 flash load " + (temp_ / "missing").string(), &status);
    EXPECT_EQ(status, 1);
    Run("0 flash erase", &status);
    EXPECT_EQ(status, 2);

    Run("0 fault flash-never-ready on");
    Run("0 fault flash-wren-ignored on");
    EXPECT_NE(Run("0 show").find("faults: flash-never-ready, flash-wren-ignored\n"), std::string::npos);
    Run("0 fault clear");
    EXPECT_NE(Run("0 show").find("faults: none\n"), std::string::npos);
}

TEST_F(QvsimAdapterTest, EepromIsLoadedAndDumpedWholeAndItsFaultsSwitched) {
    const std::filesystem::path image = temp_ / "eeprom.bin";
    const std::filesystem::path dump = temp_ / "dump.bin";
    std::string contents(32 * 1024, '\0');
    contents.replace(0, 3, "A1z");
    std::ofstream(image, std::ios::binary) << contents;
    int status = -1;
    Run("0 eeprom load " + image.string(), &status);
    EXPECT_EQ(status, 0);
    Run("0 eeprom dump " + dump.string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(qv::testing::ReadFile(dump), contents);

    // Only the whole part is loaded: a shorter or longer file leaves it as it was.
    for (size_t size : {contents.size() - 1, contents.size() + 1}) {
        std::ofstream(image, std::ios::binary | std::ios::trunc) << std::string(size, 'x');
        Run("0 eeprom load " + image.string(), &status);
        EXPECT_EQ(status, 1) << size;
    }
    Run("0 eeprom dump " + dump.string(), &status);
    EXPECT_EQ(qv::testing::ReadFile(dump), contents);
    Run("0 eeprom erase", &status);
    EXPECT_EQ(status, 2);

    Run("0 fault vpd-absent on");
    Run("0 fault vpd-never-completes on");
    EXPECT_NE(Run("0 show").find("faults: vpd-absent, vpd-never-completes\n"), std::string::npos);
}

TEST_F(QvsimAdapterTest, JtagChainIsSetShownAndDumpedAfterTheTool) {
    const std::filesystem::path board = temp_ / "board.conf";
    const std::filesystem::path bits = temp_ / "top.bit";
    const std::filesystem::path dump = temp_ / "got.bin";
    std::ofstream(bits, std::ios::binary) << "\x11\x22\x33\x44";
    std::ofstream(board) << "0 F5057093 prom\n1 1127E093 top " << bits.string() << "\n";
    int status = -1;
    Run("0 jtag chain XCF08P 1127e093", &status);
    EXPECT_EQ(status, 0);
    Tool("-d nic0 -g " + board.string(), {"QV_VIRTUAL_TIME=1"});
    const std::string show = Run("0 jtag show");
    EXPECT_NE(show.find("chain: 2 devices\n"), std::string::npos) << show;
    EXPECT_NE(show.find("  0. 0xF5057093 XCF08P    Run-Test/Idle    instruction 0xFFFF, received 0 bits"),
              std::string::npos)
        << show;
    EXPECT_NE(show.find("  1. 0x1127E093 XC2VP30   Run-Test/Idle    instruction 0x3FCC, received 33 bits"),
              std::string::npos)
        << show;
    Run("0 jtag dump 1 " + dump.string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(qv::testing::ReadFile(dump), std::string("\x11\x22\x33\x44\x00", 5));
    Run("0 jtag dump 2 " + dump.string(), &status);
    EXPECT_EQ(status, 1);
    Run("0 jtag chain XC9", &status);
    EXPECT_EQ(status, 1);
    std::string full = "0 jtag chain";
    for (int k = 0; k < 72; ++k) full += " 1127e093";  // a full chain still shows
    Run(full + " 1127e093", &status);                  // one more is refused
    EXPECT_EQ(status, 1);
    Run(full, &status);
    EXPECT_EQ(status, 0);
    const std::string fullShow = Run("0 jtag show");
    EXPECT_NE(fullShow.find("chain: 72 devices\n"), std::string::npos) << fullShow;
    EXPECT_NE(fullShow.find("  71. 0x1127E093 "), std::string::npos) << fullShow;
    Run("0 jtag chain", &status);
    EXPECT_NE(Run("0 jtag show").find("chain: 0 devices\n"), std::string::npos);

    Run("0 fault jtag-never-completes on");
    Run("0 fault jtag-unknown-idcode on");
    EXPECT_NE(Run("0 show").find("faults: jtag-never-completes, jtag-unknown-idcode\n"), std::string::npos);
}

TEST_F(QvsimAdapterTest, VersionsTraceAndTheToolsRequestsShowInInfo) {
    std::string info = Run("0 info");
    EXPECT_NE(info.find("bus driver version: 3.2.0.17\nloaded microcode: 1.4.3\n"
                        "firmware words: 0x00070210 at 0x7FFFC, 0xFFFFFFFF at 0x77FFC\n"
                        "trace: 80 entries left, next entry 0, 0 buffers handed out\n"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("blink: never asked\n"), std::string::npos) << info;
    for (const char* words : {"0 versions vbd 4.0.1.22", "0 versions microcode 2.0.255",
                              "0 versions firmware "
                              "1007020A 7",
                              "0 trace load 40", "0 fault microcode-stuck on"}) {
        int status = -1;
        Run(words, &status);
        EXPECT_EQ(status, 0) << words;
    }
    for (const char* words : {"-o", "-b 9", "-m qs6 default_txq 3"}) Tool(std::string("-d nic0 ") + words);
    info = Run("0 info");
    EXPECT_NE(info.find("bus driver version: 4.0.1.22\nloaded microcode: 2.0.255 (handshake stuck)\n"
                        "firmware words: 0x1007020A at 0x7FFFC, 0x00000007 at 0x77FFC\n"
                        "trace: 0 entries left, next entry 40, 2 buffers handed out\n"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("qs6: holdoff=0x32 maxrxpkts=0x40 cpu_affinity=0x6 default_txq=0x3 "
                        "percent_below_dpc_threshold=0x19\n"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("blink: 1 requests, last for 9 seconds\n"), std::string::npos) << info;
    EXPECT_NE(Run("0 show").find("faults: microcode-stuck\n"), std::string::npos);
}

TEST_F(QvsimAdapterTest, ConnectionMemoryAndTheLogicAnalyserAreSetForTheTool) {
    const auto qvtool = [this](const std::string& words) { return Tool("-d nic0 " + words); };
    int status = -1;
    // Logical TCB word 0 is the third word stored: state 9.
    Run("0 mem tcb 3ff 8 09", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(qvtool("-f -s tcb 3ff").substr(0, 38), "tcb 1023\n  state                  = 9h");
    // A WRC's tid is its first big-endian word: the chip's bytes 4-7 reversed.
    Run("0 mem wrc f 4 78563412", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(qvtool("-s wrc f").find("\n4 tid : 0x12345678 (305419896)\n"), std::string::npos);
    Run("0 mem stag 1ff00 4 00000000", &status);  // entry 0x1FF: e0, the high half of word 0
    EXPECT_EQ(status, 0);
    EXPECT_NE(qvtool("-s stag 1ff00").find("Valid 0 Key 0x0 State 0 Type 0x0 PDID 0x0 \n"),
              std::string::npos);
    for (const char* unstored :
         {"0 mem tcb 400 0 00", "0 mem wrc 10 0 00", "0 mem stag 20000 0 00", "0 mem tcb 0 7f 0000"}) {
        Run(unstored, &status);
        EXPECT_EQ(status, 1) << unstored;
    }

    Run("0 la wptr 0", &status);
    Run("0 la sample 7f 123456789abcdef0", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(qvtool("-s tp 1").substr(0, 59),
              "TP_DBG_LA_CONFIG=0x8000\n\nrptr=0x7f  value=123456789abcdef0\n");
    Run("0 la step 2", &status);
    const std::string moving = qvtool("-s tp 1");
    EXPECT_NE(moving.find("WARNING: wptr has changed from 0x2 to 0x4\n"), std::string::npos) << moving;
    EXPECT_NE(Run("0 la show").find("write pointer 0x04, 2 samples per config read"), std::string::npos);
    for (const char* bad : {"0 la wptr 80", "0 la step 81", "0 la sample 0", "0 mem tcb 0 0 0g",
                            "0 mem tcb 0 0 123", "0 mem dram 0 0 00"}) {
        Run(bad, &status);
        EXPECT_EQ(status, 2) << bad;
    }
}

TEST_F(QvsimAdapterTest, StatisticsScenariosReachTheTool) {
    EXPECT_EQ(Run("1 stats link 1 down 4 0"), "");
    EXPECT_EQ(Tool("-d nic1 -u phy1"), "link_speed : unknown\nlink_duplex : half\nlink_status : down\n");
    EXPECT_EQ(Tool("-d nic0 -u phy1"), "link_speed : 10Gb/s\nlink_duplex : full\nlink_status : up\n");

    Run("0 stats set tcp tcpRtoMax 0x10");
    Run("0 stats set tcp u64@68 77");  // tcpCongDrop1
    const std::string tcp = Tool("-d nic0 -u tcp");
    EXPECT_NE(tcp.find("tcpRtoMax : \t\t16\n"), std::string::npos) << tcp;
    EXPECT_NE(tcp.find("tcpCongDrop1 : \t\t77\n"), std::string::npos) << tcp;

    Run("0 stats set sge cim_eops 0xbeef");
    EXPECT_NE(Tool("-d nic0 -u sge").find("cim_eops : \t\t BEEF\n"), std::string::npos);

    Run("0 stats qsets 0");
    EXPECT_EQ(Tool("-d nic0 -u intr").find("qs0"), std::string::npos);
    Run("0 stats functions 0 0");
    EXPECT_EQ(Tool("-d nic0 -u toe").find("Port : \t\t0\n"), std::string::npos);
    Run("0 stats connection 5 99 aa:bb:cc:00:11:22");
    EXPECT_EQ(Tool("-d nic0 -s chim5 0"), "chim5 : aa:bb:cc:00:11:22\nsocket tid:99\n");
    Run("0 stats connection 5 none");
    EXPECT_EQ(Tool("-d nic0 -s chim5 0"), "chim5 : aa:bb:cc:00:11:22\n");

    Run("0 stats reset");
    EXPECT_NE(Tool("-d nic0 -u toe").find("Port : \t\t0\n"), std::string::npos);

    int status = 0;
    for (const char* words : {"0 stats set mac2 tx_frames 1", "0 stats set mac0 no_such 1",
                              "0 stats set ip u64@68 1", "0 stats set sge nothing 1"}) {
        Run(words, &status);
        EXPECT_EQ(status, 1) << words;
    }
    for (const char* words : {"0 stats", "0 stats link 2 up", "0 stats link 0 sideways",
                              "0 stats set ip ipInReceive", "0 stats set ip ipInReceive -1",
                              "0 stats connection 16 1", "0 stats connection 1 1 aa:bb", "0 stats qsets x"}) {
        Run(words, &status);
        EXPECT_EQ(status, 2) << words;
    }
}

TEST_F(QvsimAdapterTest, BadWordsAreRefused) {
    int status = 0;
    Run("9 show", &status);
    EXPECT_EQ(status, 1);
    Run("0 reg 10000", &status);
    EXPECT_EQ(status, 1);
    for (const char* words :
         {"0", "x show", "0 fault function 32 on", "0 fault reg-read 10 maybe", "0 reg zz", "0 frobnicate",
          "0 reg 10 -1", "0 jtag", "0 jtag dump 0", "0 versions vbd 1.2.3", "0 versions microcode 1.256.0",
          "0 versions firmware x", "0 trace load -1", "0 trace", "0 info now"}) {
        Run(words, &status);
        EXPECT_EQ(status, 2) << words;
    }
    Run("0 reset", &status);
    EXPECT_EQ(status, 0);
}

// The on-chip state commands set what the tool then reads; bad words change nothing.
TEST_F(QvsimAdapterTest, ContextDescriptorAndTableEntriesReachTheTool) {
    int status = -1;
    EXPECT_EQ(Run("0 context 2 65529 8000000000000001 ABCD", &status), "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Run("0 context 1 65529"), "f0 = 0x8000000000000001\nf1 = 0x000000000000ABCD\n");
    EXPECT_EQ(Run("0 descriptor 8 3 13 0BD000000ABCDE08 1122334455667788"), "");
    EXPECT_EQ(Run("0 table lkp 63 8000FFFF"), "");
    EXPECT_EQ(Run("0 table lkp 63"), "0x8000FFFF\n");
    std::string out;
    for (const char* args : {"-q ctrl1", "-Q ctrl1 3 1", "-t lkp"})
        out += Tool(std::string("-d nic0 ") + args);
    EXPECT_EQ(out.substr(0, 88),
              "\nControl context id = 65529\ncntxt.f0 = 0x8000000000000001\ncntxt.f1 = 0x000000000000ABCD\n");
    EXPECT_NE(out.find("Descriptor 3: cmd 11, TID 703710, SOP, EOP, SGL, 8 flits\n0BD000000ABCDE08\nTP lkp"),
              std::string::npos);
    EXPECT_NE(out.find("   63 :\t0x0000ffff \t Valid\n"), std::string::npos);
    for (const char* bad : {"0 context 3 18", "0 context 5 0", "0 descriptor 48 0", "0 descriptor 0 16",
                            "0 table pace 8", "0 table rss 0", "0 context 0 8 x 0"}) {
        Run(bad, &status);
        EXPECT_NE(status, 0) << bad;
    }
    EXPECT_EQ(Run("0 context 0 8").substr(0, 4), "f0 =");
}

}  // namespace
