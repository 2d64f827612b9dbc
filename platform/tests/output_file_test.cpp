// The output-file and local-time ports, on both backends (under Wine in the windows build): files
// are created and appended to byte for byte, and anything but a regular file is refused without
// waiting.
#include "qv/platform/output_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <string>

#include "qv/platform/local_time.h"
#include "qv/testing/environment.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qv-output-file-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directories(dir_));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    static std::string Content(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }
    static bool Append(std::FILE* file, const std::string& bytes) {
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    }
    fs::path dir_;
};

TEST_F(OutputFileTest, CreatesThenAppendsBytesAsWritten) {
    const fs::path path = dir_ / "out.log";
    const std::u16string wide = path.u16string();
    std::FILE* first = qv::file::OpenForAppend(wide);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(Append(first, "one\n"));
    std::FILE* second = qv::file::OpenForAppend(path.string().c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(Append(second, "two\r\n\x1a"));
    EXPECT_EQ(Content(path), "one\ntwo\r\n\x1a");
}

TEST_F(OutputFileTest, RefusesWhatIsNotARegularFile) {
    const std::u16string none;
    EXPECT_EQ(qv::file::OpenForAppend(none), nullptr);
    EXPECT_EQ(qv::file::OpenForAppend(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(qv::file::OpenForAppend(""), nullptr);
    EXPECT_EQ(qv::file::OpenForAppend(dir_.u16string()), nullptr);
    EXPECT_EQ(qv::file::OpenForAppend((dir_ / "missing" / "x.log").string().c_str()), nullptr);
#ifdef _WIN32
    EXPECT_EQ(qv::file::OpenForAppend(u"NUL"), nullptr);
#else
    EXPECT_EQ(qv::file::OpenForAppend("/dev/null"), nullptr);
#endif
}

#ifndef _WIN32
// A FIFO is refused at once, whether or not a reader has it open. Each open runs beside a time
// limit; should it block, opening the reading end releases it and the case fails.
TEST_F(OutputFileTest, RefusesAFifoWithoutWaiting) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const bool withReader : {false, true}) {
        const int reader = withReader ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        ASSERT_EQ(withReader, reader >= 0);
        auto opened = std::async(std::launch::async, [&] { return qv::file::OpenForAppend(fifo.c_str()); });
        if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "opening a FIFO blocked (reader: " << withReader << ")";
            const int release = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            opened.wait();
            close(release);
        }
        std::FILE* file = opened.get();
        EXPECT_EQ(file, nullptr) << "reader: " << withReader;
        if (file != nullptr) std::fclose(file);
        if (reader >= 0) close(reader);
    }
}
#endif

TEST(LocalTimeTest, CalendarFieldsInTheTimeZone) {
    qv::testing::UseUtcTime();
    std::tm local{};
    ASSERT_TRUE(qv::clk::LocalTime(1796688342, &local));  // Tue Dec 08 00:05:42 2026 UTC
    EXPECT_EQ(local.tm_year + 1900, 2026);
    EXPECT_EQ(local.tm_mon, 11);
    EXPECT_EQ(local.tm_mday, 8);
    EXPECT_EQ(local.tm_wday, 2);
    EXPECT_EQ(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec, 5 * 60 + 42);
}

}  // namespace
