// The bit-streams of a board configuration read before the adapter is touched: what each row
// receives and the size limit of its device. The refusals are checked through whole -g runs.
#include "qv/qvtool/jtag/bit_streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qv/qvtool/jtag/known_devices.h"
#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

class BitStreamsTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name, const std::string& content) {
        EXPECT_TRUE(testing::WriteFile(dir_ / name, content));
        return Path(name);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    // Loads the configuration's bit-streams; what was printed goes to *printed.
    bool Load(const std::string& board, std::vector<LoadedRow>* rows, std::string* printed) {
        const BoardConfig config = ParseBoardConfig(board);
        EXPECT_TRUE(config.ok) << config.message;
        std::FILE* out = std::tmpfile();
        const bool loaded = LoadBitStreams(config, rows, out);
        *printed = testing::ReadStream(out);
        std::fclose(out);
        return loaded;
    }

    testing::TempDir dir_{"qv-bit-streams"};
};

TEST_F(BitStreamsTest, ConfiguredRowsKeepTheirStreamsUpToTheDeviceSize) {
    const uint32_t prom = JtagConfigBytes(*FindJtagDeviceByName("XCF01S"));
    ASSERT_EQ(prom, 0x100000u / 8);
    const std::string full = File("full.bit", std::string(prom, '\xA5'));
    File("one.bit", "\x01");
    std::vector<LoadedRow> rows;
    std::string printed;
    // Rows after the IDCODE 0 row are not configured: their files are not read.
    ASSERT_TRUE(Load("0 05044093 prom " + full + "\n1 1127E093 top\n2 31266093 tiny " + Path("one.bit") +
                         "\n0 0 end " + Path("missing.bit") + "\n",
                     &rows, &printed));
    EXPECT_EQ(printed, "");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].stream, std::vector<uint8_t>(prom, 0xA5));
    EXPECT_TRUE(rows[1].stream.empty());
    EXPECT_EQ(rows[1].row.module, "top");
    EXPECT_EQ(rows[2].stream, std::vector<uint8_t>{0x01});
}

}  // namespace
}  // namespace qv::qvtool
