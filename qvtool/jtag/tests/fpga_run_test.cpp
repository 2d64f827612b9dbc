// -g on a simulated adapter: the chain query's lines, the check, the download as the devices
// receive it, and the failures, each through a whole run of the tool.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/jtag/fpga_configuration.h"
#include "qv/qvtool/jtag/known_devices.h"
#include "qv/sim/clock.h"
#include "qv/sim/n5/jtag_chain.h"
#include "qv/testing/temp_dir.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

using sim::n5::JtagDeviceProfile;

// A device of the chain: a known device by name, or an unknown one by its IDCODE.
JtagDeviceProfile Device(const char* name) {
    const JtagDevice* d = FindJtagDeviceByName(name);
    if (d == nullptr) return {.idcode = 0x12345679, .irLength = 8, .idcodeInstruction = 0xFE};
    return {.idcode = d->idcode,
            .irLength = d->irLength,
            .idcodeInstruction = d->idcodeInstruction,
            .configureInstruction = d->configureInstruction,
            .configBits = d->configBits};
}

const char* const kPromThenFpga =
    "0. ID F5057093, INSTR.REG SIZE 16, NAME XCF08P\n"
    "1. ID 1127E093, INSTR.REG SIZE 14, NAME XC2VP30\n";

class FpgaRunTest : public test::Nic0Test {
  protected:
    static void SetUpTestSuite() {
        Nic0Test::SetUpTestSuite();
        sim::UseVirtualClock(true);
    }
    static void TearDownTestSuite() {
        sim::UseVirtualClock(false);
        Nic0Test::TearDownTestSuite();
    }
    void SetUp() override {
        Nic0Test::SetUp();
        SetChain({});
    }
    void SetChain(std::vector<JtagDeviceProfile> devices) {
        ASSERT_TRUE(sim::n5::SetJtagChain(&adapter_->state().jtag, devices));
    }
    std::string File(const std::string& name, const std::string& content) {
        EXPECT_TRUE(testing::WriteFile(dir_ / name, content));
        return (dir_ / name).string();
    }
    // A board file whose bit-stream names are made absolute in this test's directory.
    std::string Board(std::string text) {
        for (size_t at = 0; (at = text.find("@", at)) != std::string::npos;)
            text.replace(at, 1, dir_.str() + "/");
        return File("board.conf", text);
    }
    std::string Run(const std::string& board) { return RunOnNic0({"-g", board}); }
    std::vector<uint8_t> Received(uint32_t position, uint64_t* bits = nullptr) {
        uint64_t count = 0;
        std::vector<uint8_t> bytes = sim::n5::JtagReceivedBytes(adapter_->state().jtag, position, &count);
        if (bits != nullptr) *bits = count;
        return bytes;
    }

    testing::TempDir dir_{"qv-fpga"};
};

TEST_F(FpgaRunTest, MatchedBoardDownloadsTheStreamBitExactly) {
    SetChain({Device("XCF08P"), Device("XC2VP30")});
    File("top.bit", std::string("\x11\x22\x33\x44\x55", 5));
    const uint64_t slept = sim::VirtualMillisecondsSlept();
    EXPECT_EQ(Run(Board("# prom, then the FPGA nearest TDI\n0 F5057093 prom\n1 1127E093 top @top.bit\n")),
              std::string(kPromThenFpga) + "1 file_size = 5 dev = XC2VP30 module = top\n");
    uint64_t bits = 0;
    // Two 32-bit shifts, the second padded with zeros, and the zero shifted as the device nearest
    // TDI leaves Shift-DR; the PROM in BYPASS keeps nothing.
    EXPECT_EQ(Received(1, &bits), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0, 0, 0, 0}));
    EXPECT_EQ(bits, 65u);
    EXPECT_EQ(Received(0, &bits).size(), 0u);
    EXPECT_EQ(bits, 0u);
    const auto& jtag = adapter_->state().jtag;
    EXPECT_EQ(jtag.devices[1].instruction, 0x3FCCu);  // started up
    EXPECT_EQ(jtag.devices[1].tap, sim::n5::kTapRunTestIdle);
    EXPECT_EQ(jtag.config, 16u);  // released at the end
    EXPECT_EQ(sim::VirtualMillisecondsSlept() - slept, 3000u);
}

using qv::testing::ReadStream;

// The download draws its progress and clears it before any message, so that a failure in the
// middle of the stream lands on a clean line.
TEST_F(FpgaRunTest, ProgressLineIsClearedBeforeMessages) {
    SetChain({Device("XC2VP30")});
    File("top.bit", std::string(400, '\x5A'));
    const std::string board = Board("0 1127E093 top @top.bit\n");
    const auto run = [&board](std::string* err) {
        AdapterConnection connection;
        std::FILE* out = std::tmpfile();
        std::FILE* errFile = std::tmpfile();
        if (OpenAdapter(0, &connection, out)) {
            ProgressLine progress = ProgressLine::Always(errFile, out);
            RunFpgaConfiguration(board, connection.device, out, &progress);
            CloseAdapter(&connection);
        }
        *err = ReadStream(errFile);
        std::string text = ReadStream(out);
        std::fclose(out);
        std::fclose(errFile);
        return text;
    };
    const std::string head =
        "0. ID 1127E093, INSTR.REG SIZE 14, NAME XC2VP30\n0 file_size = 400 dev = XC2VP30 module = top\n";
    const std::string cleared = "\r" + std::string(16, ' ') + "\r";
    std::string err;
    EXPECT_EQ(run(&err), head);
    EXPECT_EQ(err.find("\rDownloading   1%"), 0u) << err;
    EXPECT_EQ(err.substr(err.size() - 17 - cleared.size()), "\rDownloading 100%" + cleared);

    // A request fails half way through the stream: a write of a stream word, which would corrupt
    // the configuration, so the download stops.
    adapter_->FailRequestAfter(300);
    EXPECT_EQ(run(&err), head + "jtag_write_data failed.\nDownload failed.\n");
    EXPECT_EQ(err.substr(err.size() - 17 - cleared.size()), "\rDownloading  49%" + cleared) << err;
}

TEST_F(FpgaRunTest, RowsOutOfChainOrderProgramTheirOwnDevices) {
    SetChain({Device("XC2VP20"), Device("XC2VP30")});
    File("a.bit", "\xA1\xA2\xA3\xA4");
    File("b.bit", "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8");
    EXPECT_EQ(Run(Board("1 1127E093 b @b.bit\n0 31266093 a @a.bit\n")),
              "0. ID 31266093, INSTR.REG SIZE 14, NAME XC2VP20\n"
              "1. ID 1127E093, INSTR.REG SIZE 14, NAME XC2VP30\n"
              "0 file_size = 8 dev = XC2VP30 module = b\n"
              "1 file_size = 4 dev = XC2VP20 module = a\n");
    EXPECT_EQ(Received(1), (std::vector<uint8_t>{0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0}));
    // One bypass stage lies between TDI and device 0: its captured zero comes first.
    uint64_t bits = 0;
    EXPECT_EQ(Received(0, &bits), (std::vector<uint8_t>{0x50, 0xD1, 0x51, 0xD2, 0x00}));  // A1 A2 A3 A4 >> 1
    EXPECT_EQ(bits, 33u);
}

TEST_F(FpgaRunTest, FailuresStopBeforeAnyDownload) {
    struct Case {
        const char* name;
        std::vector<const char*> chain;
        std::string board;
        std::string out;
    };
    const std::string notMatched = "FPGA adapter and its configuration file are not matched.\n";
    const Case cases[] = {
        {"row differs from its chain entry",
         {"XCF08P", "XC2VP30"},
         "1 1127E093 top @top.bit\n0 1127E093 top @top.bit\n",
         kPromThenFpga + notMatched},
        {"position outside the chain",
         {"XCF08P", "XC2VP30"},
         "2 1127E093 top @top.bit\n",
         kPromThenFpga + notMatched},
        {"row without a bit stream", {"XCF08P", "XC2VP30"}, "1 1127E093 top\n", kPromThenFpga},
        {"rows after an IDCODE 0 row are the end",
         {"XCF08P", "XC2VP30"},
         "0 F5057093 prom\n0 0 end\n1 1127E093 top @top.bit\n",
         kPromThenFpga},
        {"zero first IDCODE: no devices", {}, "# no JTAG devices\n", ""},
        {"unknown IDCODE",
         {"XC2VP30", "unknown"},
         "0 1127E093 top @top.bit\n",
         "device: 1 id: 0x12345679\n"
         "jtag_query_chain: don't know device with ID 0x12345679, bailing ...\n" +
             notMatched},
    };
    File("top.bit", "\x01\x02\x03\x04");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<JtagDeviceProfile> chain;
        for (const char* name : c.chain) chain.push_back(Device(name));
        SetChain(chain);
        EXPECT_EQ(Run(Board(c.board)), c.out);
        for (uint32_t k = 0; k < chain.size(); ++k) EXPECT_EQ(Received(k).size(), 0u) << k;
        EXPECT_EQ(adapter_->state().jtag.config, 16u);
    }
}

TEST_F(FpgaRunTest, BadBoardFileSendsNoRequest) {
    SetChain({Device("XC2VP30")});
    std::string sixtyFiveRows;
    for (int i = 0; i < 65; ++i) sixtyFiveRows += "0 1127E093 top\n";
    const struct {
        std::string board;
        std::string out;
    } cases[] = {
        {dir_.str() + "/none.conf", "Unable to open " + dir_.str() + "/none.conf board configuration file\n"},
        {dir_.str(), "Unable to open " + dir_.str() + " board configuration file\n"},  // a directory
        {Board("0 1127E093 " + std::string(65, 'm') + "\n"), "Error: fpga module name too long.\n"},
        {File("many.conf", sixtyFiveRows), "Error: more than 64 fpga rows specified.\n"},
    };
    for (const auto& c : cases) {
        const uint64_t requests = adapter_->state().counters.requests;
        EXPECT_EQ(Run(c.board), c.out);
        EXPECT_EQ(adapter_->state().counters.requests, requests);
    }
}

// Every bit-stream is read and checked before the master is enabled: a bad one in the last row
// leaves the board as it was, without a single register request.
TEST_F(FpgaRunTest, BadBitStreamInTheLastRowSendsNoRequest) {
    SetChain({Device("XCF01S"), Device("XC2VP30")});
    File("top.bit", "\x01\x02\x03\x04");
    const std::string big =
        File("big.bit", std::string(JtagConfigBytes(*FindJtagDevice(0x05044093)) + 1, 'b'));
    const std::string empty = File("empty.bit", "");
    const std::string fifo = (dir_ / "fifo.bit").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string missing = (dir_ / "missing.bit").string();
    const struct {
        std::string row;
        std::string out;
    } cases[] = {
        {"0 05044093 prom " + missing, "Unable to open " + missing + " fpga configuration file.\n"},
        {"0 05044093 prom " + empty, empty + " is empty.\n"},
        {"0 05044093 prom " + dir_.str(), "Unable to open " + dir_.str() + " fpga configuration file.\n"},
        {"0 05044093 prom " + fifo, "Unable to open " + fifo + " fpga configuration file.\n"},
        {"0 05044093 prom " + big, big + " is larger than the 131072 bytes of a XCF01S configuration.\n"},
        {"0 12345679 prom @top.bit",
         "No known device has fpga id 0x12345679: " + dir_.str() + "/top.bit cannot be checked.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const uint64_t requests = adapter_->state().counters.requests;
        EXPECT_EQ(Run(Board("# FPGA first, then its PROM\n1 1127E093 top @top.bit\n" + c.row + "\n")),
                  c.out + "Board configuration line 3 (module prom) refused: no fpga was configured.\n");
        EXPECT_EQ(adapter_->state().counters.requests, requests);
        EXPECT_EQ(Received(1).size(), 0u);
    }
}

TEST_F(FpgaRunTest, MasterFaultsEndTheRunInBoundedTime) {
    SetChain({Device("XC2VP30")});
    const std::string board = Board("0 1127E093 top\n");
    adapter_->SetJtagNeverCompletes(true);
    uint64_t requests = adapter_->state().counters.requests;
    EXPECT_EQ(Run(board),
              "jtag_io: IO did not complete!!!\n"
              "FPGA adapter and its configuration file are not matched.\n");
    // The enable, one reset's writes and its 1000 polls, the release.
    EXPECT_LT(adapter_->state().counters.requests - requests, 1010u);
    adapter_->ClearFaults();

    adapter_->SetRegisterReadFails(0x6C0, true);
    EXPECT_EQ(Run(board),
              "jtag_read_config failed.\n"
              "jtag_enable: Hmmm, JM0 is not functional!\n"
              "0. ID 1127E093, INSTR.REG SIZE 14, NAME XC2VP30\n");
    adapter_->ClearFaults();

    adapter_->SetJtagUnknownIdcode(true);
    EXPECT_EQ(Run(board),
              "device: 0 id: 0xbadc0df\n"
              "jtag_query_chain: don't know device with ID 0x0BADC0DF, bailing ...\n"
              "FPGA adapter and its configuration file are not matched.\n");
}

TEST_F(FpgaRunTest, AChainWithoutEndStopsAtSixtyFourDevices) {
    SetChain(std::vector<JtagDeviceProfile>(65, Device("XCF01S")));
    const std::string out = Run(Board(""));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 64);
    EXPECT_EQ(out.substr(out.rfind("63.")), "63. ID 05044093, INSTR.REG SIZE 8, NAME XCF01S\n");
}

}  // namespace
}  // namespace qv::qvtool
