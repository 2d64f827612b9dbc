// Files written whole or not at all, and the names of backups.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "qv/qvtool/storage/whole_file.h"
#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

namespace fs = std::filesystem;
using qv::testing::ReadFile;
using qv::testing::WriteFile;

class WholeFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        previous_ = fs::current_path();
        fs::current_path(dir_.path());
    }
    void TearDown() override { fs::current_path(previous_); }
    static bool NoPartialLeft() {
        for (const auto& entry : fs::directory_iterator(".")) {
            if (entry.path().extension() == ".partial") return false;
        }
        return true;
    }
    qv::testing::TempDir dir_;
    fs::path previous_;
};

TEST_F(WholeFileTest, ReplacesOrKeepsAnExistingFileAsAsked) {
    struct Case {
        Existing existing;
        bool written;
        const char* after;
    };
    for (const Case& c : {Case{Existing::kReplace, true, "new"}, Case{Existing::kKeep, false, "old"}}) {
        WriteFile("target", "old");
        EXPECT_EQ(WriteFileWhole("target", "new", c.existing), c.written);
        EXPECT_EQ(ReadFile("target"), c.after);
        EXPECT_TRUE(NoPartialLeft());
    }
}

TEST_F(WholeFileTest, FailsWithoutATraceWhereTheFileCannotBe) {
    fs::create_directory("dir");
    EXPECT_FALSE(WriteFileWhole("dir", "x", Existing::kReplace));  // a directory is never replaced
    EXPECT_TRUE(fs::is_directory("dir"));
    EXPECT_FALSE(WriteFileWhole("missing/target", "x", Existing::kReplace));
    EXPECT_FALSE(fs::exists("missing"));
    EXPECT_TRUE(NoPartialLeft());
}

TEST_F(WholeFileTest, BackupsGetDistinctNamesAndNeverReplaceAFile) {
    const std::string first = SaveBackupFile("nic0", "boot", "rom", "one");
    const std::string second = SaveBackupFile("nic0", "boot", "rom", "two");
    const std::regex shape(R"(nic0-boot-\d{8}-\d{6}(-2)?\.rom)");
    EXPECT_TRUE(std::regex_match(first, shape)) << first;
    EXPECT_TRUE(std::regex_match(second, shape)) << second;
    ASSERT_NE(first, second);
    EXPECT_EQ(ReadFile(first), "one");
    EXPECT_EQ(ReadFile(second), "two");
}

TEST(BackupFileName, KeepsOnlyCharactersThatBelongInAFileName) {
    const std::string name = BackupFileName(R"(\\.\n5 port/0:a)", "eeprom-psram", "txt", 0);
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(__\._n5_port_0_a-eeprom-psram-\d{8}-\d{6}\.txt)"))) << name;
}

}  // namespace
}  // namespace qv::qvtool
