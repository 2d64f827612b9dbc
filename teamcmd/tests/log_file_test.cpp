// The log file helpers: append-only, the stored line ends and the header, byte for byte.
#include "log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "qv/teamlib/text.h"
#include "qv/testing/environment.h"
#include "qv/testing/temp_dir.h"

namespace qv::teamcmd {
namespace {

class LogFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.ok());
        SetName(dir_ / "run.log");
    }

    void SetName(const std::filesystem::path& path) {
        U16CopyInto(record_.logFileName, kCommandNameCapacity, FromUtf8(path.string()));
    }
    std::string Content() const {
        std::ifstream file(dir_ / "run.log", std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }

    qv::testing::TempDir temp_{"qvteamcmd-log"};
    std::filesystem::path dir_ = temp_.path();
    CommandRecord record_{};
};

TEST_F(LogFileTest, HeaderAndLinesAreStoredWithCarriageReturns) {
    qv::testing::UseUtcTime();
    std::FILE* log = OpenLogFile(record_);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(WriteLogHeaderAt(log, 1796688342), 1);  // Tue Dec 08 00:05:42 2026 UTC
    EXPECT_TRUE(LogPrintWide(log, u"%d. %s \n", 1, u"Local Area Connection"));
    EXPECT_TRUE(LogPrint(log, "Creating team \n"));
    EXPECT_TRUE(LogPrintWide(log, u"caf\u00e9\n"));
    EXPECT_EQ(CloseLogFile(log), 1);
    EXPECT_EQ(Content(),
              "\r\n============================\r\n"
              "Tue Dec 08 00:05:42 2026\r\n"
              "============================\r\n"
              "1. Local Area Connection \r\n"
              "Creating team \r\n"
              "caf\xc3\xa9\r\n");
}

TEST_F(LogFileTest, TimeBeforeTheEpochCannotBeFormatted) {
    qv::testing::UseUtcTime();
    std::FILE* log = OpenLogFile(record_);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(WriteLogHeaderAt(log, -86400 * 400), 0);
    EXPECT_EQ(WriteLogHeaderAt(log, 0), 1);
    EXPECT_EQ(CloseLogFile(log), 1);
    EXPECT_EQ(
        Content(),
        "\r\n============================\r\nThu Jan 01 00:00:00 1970\r\n============================\r\n");
}

TEST_F(LogFileTest, AppendsAndNeverTruncates) {
    for (const char* line : {"first\n", "second\n"}) {
        std::FILE* log = OpenLogFile(record_);
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(LogPrint(log, "%s", line));
        EXPECT_EQ(CloseLogFile(log), 1);
    }
    EXPECT_EQ(Content(), "first\r\nsecond\r\n");
}

TEST_F(LogFileTest, NoStream) {
    SetName(dir_ / "missing" / "run.log");
    EXPECT_EQ(OpenLogFile(record_), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));

    CommandRecord unnamed{};
    EXPECT_EQ(OpenLogFile(unnamed), nullptr);

    EXPECT_EQ(WriteLogHeader(nullptr), 0);
    EXPECT_EQ(CloseLogFile(nullptr), 0);
    EXPECT_FALSE(LogPrint(nullptr, "x\n"));
    EXPECT_FALSE(LogPrintWide(nullptr, u"x\n"));
}

TEST_F(LogFileTest, UnterminatedNameIsRefused) {
    for (char16_t& unit : record_.logFileName) {
        unit = u'a';
    }
    EXPECT_EQ(OpenLogFile(record_), nullptr);
}

}  // namespace
}  // namespace qv::teamcmd
