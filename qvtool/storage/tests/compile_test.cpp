// The written C files compiled by the host's C compiler: a small program includes each one, checks
// that its array holds <name>_sz bytes and writes the array out, which must equal the image's bytes
// in the order the adapter takes them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "image_fixtures.h"
#include "qv/qvtool/storage/header_conversion.h"
#include "qv/qvtool/storage/source_file.h"
#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

using qv::testing::ReadFile;
using qv::testing::WriteFile;

constexpr char kDumpProgram[] = R"(#include <stdio.h>
#include SOURCE
#define NAME2(a, b) a##b
#define NAME(a, b) NAME2(a, b)
int main(int argc, char** argv) {
    FILE* out;
    if (argc != 2 || sizeof ARRAY != (size_t)NAME(ARRAY, _sz)) return 2;
    out = fopen(argv[1], "wb");
    if (!out || fwrite(ARRAY, 1, sizeof ARRAY, out) != sizeof ARRAY || fclose(out) != 0) return 3;
    printf("%d\n", NAME(ARRAY, _vers));
    return 0;
}
)";

// Compiles the dump program around source (in dir) and runs it: the array's bytes, and the version
// it printed through output.
std::string CompileAndDump(const std::filesystem::path& dir, const char* source, const char* array,
                           std::string* version) {
    const auto program = dir / "dump.c";
    EXPECT_TRUE(WriteFile(program, kDumpProgram));
    const std::string build = "cc -Wall -Werror -I'" + dir.string() + "' -DSOURCE='\"" + source +
                              "\"' -DARRAY=" + array + " -o '" + (dir / "dump").string() + "' '" +
                              program.string() + "'";
    EXPECT_EQ(std::system(build.c_str()), 0) << build;
    const std::string run = "'" + (dir / "dump").string() + "' '" + (dir / "dump.bin").string() + "' > '" +
                            (dir / "version.txt").string() + "'";
    EXPECT_EQ(std::system(run.c_str()), 0) << run;
    *version = ReadFile(dir / "version.txt");
    return ReadFile(dir / "dump.bin");
}

TEST(GeneratedSource, CompilesAndHoldsTheImage) {
    qv::testing::TempDir dir("qvtool-cc");
    ASSERT_TRUE(dir.ok());
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());

    const auto firmware = test::SummedFirmware({0x12345678, 0xFFEEDDCC, 0x00000007});
    std::string sram;
    for (size_t i = 0; i < 2112; ++i) sram += static_cast<char>((3 * i + 1) & 0xFF);
    const std::string rom = "\x55\xAA\x80\xFF\x01\x02\x03\x04";
    const struct {
        const char* input;
        std::string content;
        const char* output;
        const char* array;
        std::string bytes;  // the array as expected
        const char* version;
    } cases[] = {
        {"fw.ascii", test::TextFile(firmware), "n5_fw.h", "n5_fw_image", test::BigEndianFile(firmware),
         "7\n"},
        {"fw.bin", test::BigEndianFile(firmware), "n5_fw.c", "n5_fw_image", test::BigEndianFile(firmware),
         "7\n"},
        {"psram.txt", test::SramText(2112), "psram.c", "psram_image", sram, "168231937\n"},
        {"boot.rom", rom, "bios_image.c", "bios_image", rom, "-8345003\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir / c.output);
        ASSERT_TRUE(WriteFile(dir / c.input, c.content));
        std::FILE* out = std::tmpfile();
        ASSERT_TRUE(ConvertImageToSource(c.input, out)) << c.input;
        std::fclose(out);
        std::string version;
        EXPECT_EQ(CompileAndDump(dir.path(), c.output, c.array, &version), c.bytes) << c.input;
        EXPECT_EQ(version, c.version) << c.input;
    }
    // No reader accepts an empty image, but the source of one, an empty array, must compile too.
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(WriteSourceFile("bios_image.c", FormatImageSource("bios_image.c", "bios_image", {}, 0), out));
    std::fclose(out);
    std::string version;
    EXPECT_EQ(CompileAndDump(dir.path(), "bios_image.c", "bios_image", &version), "");
    EXPECT_EQ(version, "0\n");
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace qv::qvtool
