// The -k conversion as a run of the tool: what it prints, and every output file byte for byte
// against the goldens in golden/. Each case works in a temporary current directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "image_fixtures.h"
#include "qv/qvtool/runner.h"
#include "qv/qvtool/storage/header_conversion.h"
#include "qv/qvtool/storage/image_file.h"
#include "qv/qvtool/storage/source_file.h"
#include "qv/testing/golden.h"
#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

using qv::testing::MatchesGolden;
using qv::testing::ReadFile;
using qv::testing::WriteFile;

constexpr char kGoldenDir[] = "qvtool/storage/tests/golden/";

// The firmware of the goldens: its version word 0x80000001 prints as a negative number.
std::vector<uint32_t> GoldenFirmware() {
    return test::SummedFirmware({0x12345678, 0x00010203, 0x0A0B0C0D, 0x80000001});
}

class ConvertTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ok());
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // Runs qvtool -k name (after writing content to name) and returns what it printed.
    std::string Convert(const std::string& name, const std::string& content) {
        EXPECT_TRUE(WriteFile(dir_ / name, content));
        return Run({"qvtool", "-k", name.c_str()});
    }
    std::string Run(std::vector<const char*> argv) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(RunQvtool(static_cast<int>(argv.size()), argv.data(), out, err), 0);
        const std::string printed = Slurp(out) + Slurp(err);
        std::fclose(out);
        std::fclose(err);
        return printed;
    }
    static std::string Slurp(std::FILE* file) { return qv::testing::ReadStream(file); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    qv::testing::TempDir dir_{"qvtool-convert"};
    std::filesystem::path previous_;
};

TEST_F(ConvertTest, EachKindWritesItsFileInTheCurrentDirectory) {
    const std::string exe = test::Executable(test::BootModule(2048), 0x0000, 0x0105);
    const struct {
        const char* input;
        std::string content;
        const char* output;
        const char* golden;
        const char* printed;
    } cases[] = {
        {"fw.ascii", test::TextFile(GoldenFirmware()), "n5_fw.h", "n5_fw.h",
         "\nChecking integrety of Firmware text image file fw.ascii.\n"},
        {"fw.BIN", test::BigEndianFile(GoldenFirmware()), "n5_fw.c", "n5_fw.c",
         "\nChecking integrety of Firmware binary image file fw.BIN.\n"},
        {"psram.txt", test::SramText(2112), "psram.c", "psram.c", ""},
        {"boot.rom", "\x55\xAA\x56\x78\x9A\xBC\xDE\xF0", "bios_image.c", "bios_image_rom.c",
         "\nChecking integrety of Bios binary image file boot.rom.\n"},
        {"boot.img", exe, "bios_image.c", "bios_image_img.c",
         "\nChecking integrety of Firmware binary image file boot.img.\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir_ / c.output);
        EXPECT_EQ(Convert(c.input, c.content), c.printed) << c.input;
        EXPECT_TRUE(MatchesGolden(ReadFile(dir_ / c.output), std::string(kGoldenDir) + c.golden)) << c.input;
    }
    // The text and binary forms of one firmware give the same array.
    const std::string h = ReadFile(dir_ / "n5_fw.h");
    const std::string c = ReadFile(dir_ / "n5_fw.c");
    EXPECT_EQ(h.substr(h.find("int ")), c.substr(c.find("int ")));
    // No reader accepts an empty image any more; the source of one still has an empty array.
    EXPECT_TRUE(MatchesGolden(FormatImageSource("bios_image.c", "bios_image", {}, 0),
                              std::string(kGoldenDir) + "bios_image_empty.c"));
}

TEST_F(ConvertTest, RefusedFilesWriteNothing) {
    auto corrupt = GoldenFirmware();
    corrupt[1] += 1;
    ASSERT_TRUE(WriteFile(dir_ / "n5_fw.h", "kept"));
    const struct {
        const char* input;
        std::string content;
        std::string printed;
    } cases[] = {
        {"fw.ascii", test::TextFile(corrupt),
         "\nChecking integrety of Firmware text image file fw.ascii.\n"
         "\nImage file is corrupt 0x00000000!!!!\n"},
        {"short.txt", test::SramText(2111), ""},
        {"long.txt", test::SramText(2113), "\nImage file holds more than 2112 values!!!!\n"},
        {"fw.hex", "12345678\n", "Unknown file type\n"},
        {"empty.rom", "",
         "\nChecking integrety of Bios binary image file empty.rom.\n\nImage file is empty!!!!\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.input, c.content), c.printed) << c.input;
    }
    EXPECT_EQ(ReadFile(dir_ / "n5_fw.h"), "kept");
    EXPECT_EQ(Files(), (std::vector<std::string>{"empty.rom", "fw.ascii", "fw.hex", "long.txt", "n5_fw.h",
                                                 "short.txt"}));

    EXPECT_EQ(Run({"qvtool", "-k", "missing.bin"}),
              "\nChecking integrety of Firmware binary image file missing.bin.\n"
              "Unable to open missing.bin board configuration file\n");
    EXPECT_EQ(Run({"qvtool", "-k", "missing.txt"}), "Unable to open missing.txt psram configuration file\n");
    std::filesystem::create_directory(dir_ / "dir.rom");
    EXPECT_EQ(Run({"qvtool", "-k", "dir.rom"}),
              "\nChecking integrety of Bios binary image file dir.rom.\n"
              "Unable to open dir.rom board configuration file\n");
    // An output name taken by something other than a file is not replaced.
    std::filesystem::create_directory(dir_ / "bios_image.c");
    EXPECT_EQ(Convert("boot.rom", "\x55\xAA\x01\x02"),
              "\nChecking integrety of Bios binary image file boot.rom.\n"
              "Unable to open header file bios_image.c for writing");
}

TEST_F(ConvertTest, LoadingIsBoundedAndOpensNoDevice) {
    ASSERT_TRUE(WriteFile(dir_ / "four", "1234"));
    EXPECT_EQ(LoadImageFile("four", 4).status, LoadStatus::kLoaded);
    EXPECT_EQ(LoadImageFile("four", 4).bytes.size(), 4u);
    EXPECT_EQ(LoadImageFile("four", 3).status, LoadStatus::kTooLarge);
    EXPECT_EQ(LoadImageFile("", 3).status, LoadStatus::kCannotOpen);
#ifndef _WIN32
    // A FIFO is refused at once rather than waited on for a writer.
    ASSERT_EQ(mkfifo((dir_ / "pipe.rom").c_str(), 0600), 0);
    EXPECT_EQ(LoadImageFile("pipe.rom").status, LoadStatus::kCannotOpen);
#endif
    ASSERT_TRUE(WriteFile(dir_ / "big.rom", std::string(kMaxImageFileBytes + 1, '\0')));
    EXPECT_EQ(Run({"qvtool", "-k", "big.rom"}),
              "\nChecking integrety of Bios binary image file big.rom.\n\nImage file is too large!!!!\n");
    // -k needs no adapter: with another option and no -d the run converts and ends.
    ASSERT_TRUE(WriteFile(dir_ / "boot.rom", "\x55\xAA\x01\x02"));
    EXPECT_EQ(Run({"qvtool", "-r", "10", "-k", "boot.rom"}),
              "\nChecking integrety of Bios binary image file boot.rom.\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "bios_image.c"));
}

}  // namespace
}  // namespace qv::qvtool
