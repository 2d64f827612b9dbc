// -t through whole runs of the tool: the seven tables as printed, name matching, entry fields and
// each table's failure message.
#include <gtest/gtest.h>

#include "chip_fixture.h"

namespace qv::qvtool {
namespace {

using test::ChipTest;

TEST_F(ChipTest, TablesOnThePowerOnAdapter) {
    std::string text;
    for (const char* name : {"pace", "cctrl", "tos", "mtu", "map", "lkp", "txmod"}) {
        text += std::string("== -t ") + name + "\n" + RunOnNic0({"-t", name});
    }
    EXPECT_TRUE(qv::testing::MatchesGolden(text, Golden("tables.txt")));
}

TEST_F(ChipTest, TableNamesMatchByPrefixWithoutCase) {
    EXPECT_EQ(RunOnNic0({"-t", "MTUs"}).substr(0, 14), "TP mtu table:\n");
    EXPECT_EQ(RunOnNic0({"-t", "TxMod0"}).substr(0, 16), "TP txmod table:\n");
    const uint64_t before = adapter_->state().counters.requests;
    EXPECT_EQ(RunOnNic0({"-t", "pac"}), "");
    EXPECT_EQ(RunOnNic0({"-t", "rss"}), "");
    EXPECT_EQ(adapter_->state().counters.requests, before) << "no table request for an unknown name";
}

// Each entry shows only its own bits; the map and lookup tables' valid flag is bit 31 alone.
TEST_F(ChipTest, EntriesShowTheirFieldsOnly) {
    uint32_t* t = chip().tpTables;
    t[sim::n5::TpTableStart(0) + 1] = 0xFFFFFFFD;  // pace: bits 2:0
    t[sim::n5::TpTableStart(3) + 2] = 0xFFF5C5DC;  // mtu: width 5, value 0x05DC
    t[sim::n5::TpTableStart(4) + 3] = 0x80000000;  // map: valid with low bits 0
    t[sim::n5::TpTableStart(4) + 4] = 0x7FFFFFFF;  // map: invalid
    t[sim::n5::TpTableStart(5) + 5] = 0xFFFF1234;  // lkp: valid
    t[sim::n5::TpTableStart(6) + 6] = 0xFFFFFABC;  // txmod: bits 11:0
    const auto line = [](const std::string& out, int n) {
        size_t at = 0;
        for (int i = 0; i <= n; ++i) at = out.find('\n', at) + 1;
        return out.substr(at, out.find('\n', at) + 1 - at);
    };
    EXPECT_EQ(line(RunOnNic0({"-t", "pace"}), 1), "    1 :\t0x0005 \n");
    EXPECT_EQ(line(RunOnNic0({"-t", "mtu"}), 2), "    2 :\tWidth    5\tValue = 1500\n");
    const std::string map = RunOnNic0({"-t", "map"});
    EXPECT_EQ(line(map, 3), "    3 :\t0x00000000\tValid\n");
    EXPECT_EQ(line(map, 4), "    4 :\t0x0000ffff\tInvalid\n");
    EXPECT_EQ(line(RunOnNic0({"-t", "lkp"}), 5), "    5 :\t0x00001234 \t Valid\n");
    EXPECT_EQ(line(RunOnNic0({"-t", "txmod"}), 6), "    6 :\t0x00000abc \n");
}

TEST_F(ChipTest, FailedTableReadsPrintTheirMessage) {
    const struct {
        const char* name;
        uint32_t function;
        const char* out;
    } cases[] = {
        {"pace", 18, "Pace table read error. status = 0x00000000\n"},
        {"cctrl", 19, "Cctrl table read error. status = 0x00000000\n"},
        {"tos", 20, "Tos table read error. status = 0x00000000\n"},
        {"mtu", 21, "Mtu table read error. status = 0x00000000\n"},
        {"map", 22, "Map table read error. status = 0x00000000\n"},
        {"lkp", 23, "Lkp table read error. status = 0x00000000\n"},
        {"txmod", 24, "Tx Mod table read error. status = 0x00000000\n"},
    };
    for (const auto& c : cases) {
        adapter_->SetFunctionFails(c.function, true);
        EXPECT_EQ(RunOnNic0({"-t", c.name}), c.out) << c.name;
        adapter_->SetFunctionFails(c.function, false);
    }
}

}  // namespace
}  // namespace qv::qvtool
