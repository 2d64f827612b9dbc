// The image readers over bytes made in the test: what each accepts, what it refuses and with which
// message, and the image it hands back.
#include <gtest/gtest.h>

#include <numeric>

#include "image_fixtures.h"
#include "qv/qvtool/storage/image_kind.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {
namespace {

using test::Bytes;

constexpr char kTooLarge[] = "\nImage file is too large!!!!\n";
constexpr char kNotPci[] = "\nImage file is not a PCI Bios Image !!!!\n";
constexpr char kPartialWord[] = "\nImage file is not a whole number of 32-bit words!!!!\n";
constexpr char kTooSmall[] = "\nImage file is too small to hold a version word!!!!\n";

std::vector<uint32_t> Words(const ImageRead& read) {
    return {read.image.words.begin(), read.image.words.begin() + read.image.length / 4};
}

uint32_t ByteSum(const std::vector<uint8_t>& bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFF;
}

TEST(ImageKind, ExtensionOfTheLastComponentDecides) {
    const struct {
        const char* path;
        bool allowSram;
        ImageKind kind;
    } cases[] = {
        {"fw.ascii", false, ImageKind::kFirmwareText},
        {"FW.ASCII", false, ImageKind::kFirmwareText},
        {"fw.asciiz", false, ImageKind::kFirmwareText},  // five characters are compared
        {"fw.bin", false, ImageKind::kFirmwareBinary},
        {"fw.binary", false, ImageKind::kFirmwareBinary},
        {"fw.bi", false, ImageKind::kUnknown},
        {"psram.txt", true, ImageKind::kSramConfig},
        {"psram.txt", false, ImageKind::kUnknown},
        {"boot.Rom", false, ImageKind::kRawRom},
        {"boot.img", false, ImageKind::kExecutableRom},
        {"a.rom.bin", false, ImageKind::kFirmwareBinary},
        {"fw", false, ImageKind::kUnknown},
        {"fw.hex", false, ImageKind::kUnknown},
        {"fw.", false, ImageKind::kUnknown},
        {"images.bin/fw", false, ImageKind::kUnknown},
        {"images.bin\\fw", false, ImageKind::kUnknown},
        {"../images/fw.bin", false, ImageKind::kFirmwareBinary},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecognizeImageKind(c.path, c.allowSram), c.kind) << c.path;
    }
}

TEST(FirmwareText, AcceptsWordsThatAddUpOneLineEachOfAtMost15Characters) {
    const struct {
        const char* what;
        std::string file;
        std::vector<uint32_t> words;
    } cases[] = {
        {"one word a line", test::TextFile(test::SummedFirmware({0x12345678, 0x9ABCDEF0})),
         test::SummedFirmware({0x12345678, 0x9ABCDEF0})},
        {"prefix, blanks, CR LF", "  0xFFFFFFFF\r\n0\r\n", {0xFFFFFFFF, 0}},
        {"reading stops at the first line without a number",
         "FFFFFFFE\n1\nnot hex\n12345678\n",
         {0xFFFFFFFE, 1}},
        // The line end is not part of the line: 15 characters before "\r\n", "\n" or the file's end.
        {"15 characters and CR LF", "     0xFFFFFFFE\r\n000000000000001\n", {0xFFFFFFFE, 1}},
        {"15 characters at the end", "FFFFFFFE\n000000000000001", {0xFFFFFFFE, 1}},
        {"the rest of a line is ignored", "FFFFFFFE junk\n1\n", {0xFFFFFFFE, 1}},
        {"a long line after the last word is not read",
         "FFFFFFFE\n1\n\n" + std::string(100, '0'),
         {0xFFFFFFFE, 1}},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const ImageRead read = ReadFirmwareText(bytes.data(), bytes.size());
        EXPECT_TRUE(read.ok) << c.what;
        EXPECT_EQ(read.message, "") << c.what;
        EXPECT_EQ(Words(read), c.words) << c.what;
        EXPECT_EQ(read.image.length, 4 * c.words.size()) << c.what;
    }
}

TEST(FirmwareText, RefusesWithTheReason) {
    auto changed = test::SummedFirmware({0x12345678, 0x9ABCDEF0});
    changed[0] -= 1;
    const struct {
        const char* what;
        std::string file;
        std::string message;
    } cases[] = {
        {"one word changed by one", test::TextFile(changed), "\nImage file is corrupt 0xFFFFFFFE!!!!\n"},
        {"empty file", "", "\nImage file is corrupt 0x00000000!!!!\n"},
        {"nothing readable", "xyz\n", "\nImage file is corrupt 0x00000000!!!!\n"},
        {"more than 32 bits", "FFFFFFFF\n100000000\n", "\nImage file holds a word wider than 32 bits!!!!\n"},
        {"a minus sign", "-1\n", "\nImage file holds a word wider than 32 bits!!!!\n"},
        {"one word over the limit", test::TextFile(test::SummedFirmware(std::vector<uint32_t>(0x10004 / 4))),
         kTooLarge},
        // A long line is never split into words nor cut: all of these would pass the sum.
        {"16 characters", "FFFFFFFE\n0000000000000001\n",
         "\nImage file line 2 is longer than 15 characters!!!!\n"},
        {"16 characters before CR LF", "0000000000000000\r\nFFFFFFFF\r\n",
         "\nImage file line 1 is longer than 15 characters!!!!\n"},
        {"100000 zeros before the words",
         std::string(100000, '0') + "\n" + test::TextFile(test::SummedFirmware({1, 2})),
         "\nImage file line 1 is longer than 15 characters!!!!\n"},
        {"a long line without a number", "FFFFFFFE\n1\n" + std::string(16, ' ') + "\n",
         "\nImage file line 3 is longer than 15 characters!!!!\n"},
        {"a single word: no version word", "ffffffff\n", kTooSmall},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const ImageRead read = ReadFirmwareText(bytes.data(), bytes.size());
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_EQ(read.message, c.message) << c.what;
    }
}

TEST(FirmwareBinary, WordsAreMostSignificantByteFirstUpToTheLimit) {
    const auto atLimit = test::SummedFirmware(std::vector<uint32_t>(0x10004 / 4 - 1, 0x01020304));
    const auto overLimit = test::SummedFirmware(std::vector<uint32_t>(0x10004 / 4, 0x01020304));
    const struct {
        const char* what;
        std::string file;
        bool ok;
        std::string message;
    } cases[] = {
        {"0x10004 bytes", test::BigEndianFile(atLimit), true, ""},
        {"0x10008 bytes", test::BigEndianFile(overLimit), false, kTooLarge},
        {"0x10005 bytes", test::BigEndianFile(atLimit) + '\0', false, kTooLarge},
        {"two words", test::BigEndianFile({0x12345678, 0xEDCBA987}), true, ""},
        {"a trailing piece", test::BigEndianFile({0x12345678, 0xEDCBA987}) + "\x01\x02\x03", false,
         kPartialWord},
        {"one word", test::BigEndianFile({0xFFFFFFFF}), false, kTooSmall},
        {"empty file", "", false, "\nImage file is corrupt 0x00000000!!!!\n"},
        {"sum off by one", test::BigEndianFile({0x12345678, 0xEDCBA986}), false,
         "\nImage file is corrupt 0xFFFFFFFE!!!!\n"},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const ImageRead read = ReadFirmwareBinary(bytes.data(), bytes.size());
        EXPECT_EQ(read.ok, c.ok) << c.what;
        EXPECT_EQ(read.message, c.message) << c.what;
    }
}

TEST(RawRom, BytesAsStoredInWholeWordsUpToTheLimitWithTheSignature) {
    const auto module = [](size_t size) {
        const auto bytes = test::BootModule(size);
        return std::string(bytes.begin(), bytes.end());
    };
    const struct {
        std::string file;
        const char* message;  // null: accepted
    } cases[] = {
        {module(4), nullptr},
        {module(0x70000), nullptr},
        {"", "\nImage file is empty!!!!\n"},
        {module(3), kPartialWord},
        {module(7), kPartialWord},
        {module(0x70003), kTooLarge},
        {module(0x70004), kTooLarge},
        {std::string("\x55\x55\x00\x00", 4), kNotPci},
        {std::string("\xAA\x55\x00\x00", 4), kNotPci},
        {std::string(8, '\0'), kNotPci},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const ImageRead read = ReadRawRom(bytes.data(), bytes.size());
        EXPECT_EQ(read.ok, c.message == nullptr) << c.file.size();
        EXPECT_EQ(read.message, c.message != nullptr ? c.message : "") << c.file.size();
        EXPECT_EQ(ImageBytes(read.image), read.ok ? bytes : std::vector<uint8_t>()) << c.file.size();
    }
}

TEST(ExecutableRom, HeaderRewrittenToJumpToTheEntryAndChecksummed) {
    const struct {
        size_t moduleSize;
        uint16_t segment, offset;
        uint32_t length;
        uint8_t displacementLow, displacementHigh;
    } cases[] = {
        {2048, 0x0000, 0x0105, 4096, 0xFB, 0x00},  // entry low byte below 10: the borrow reaches byte 9
        {2047, 0x0010, 0x0003, 2048, 0xF9, 0x00},  // segment * 16 + offset
        {100, 0xF000, 0x0005, 2048, 0xFB, 0xFF},   // the entry is cut to 16 bits, the jump goes back
        {10, 0x0000, 0x0400, 2048, 0xF6, 0x03},
        // The largest modules: the image ends where the boot area does, its checksum as last byte.
        {0x6F800, 0x0000, 0x0105, 0x70000, 0xFB, 0x00},
        {0x6FFFF, 0x0000, 0x0105, 0x70000, 0xFB, 0x00},
    };
    for (const auto& c : cases) {
        const auto module = test::BootModule(c.moduleSize);
        const auto file = Bytes(test::Executable(module, c.segment, c.offset));
        const ImageRead read = ReadExecutableRom(file.data(), file.size(), "boot.img");
        ASSERT_TRUE(read.ok) << c.moduleSize << ": " << read.message;
        EXPECT_EQ(read.message, "");
        const auto rom = ImageBytes(read.image);
        ASSERT_EQ(rom.size(), c.length);
        const std::vector<uint8_t> head(rom.begin(), rom.begin() + 10);
        EXPECT_EQ(head, (std::vector<uint8_t>{0x55, 0xAA, static_cast<uint8_t>(c.length / 512), 0x8C, 0xC8,
                                              0x8E, 0xD8, 0xE9, c.displacementLow, c.displacementHigh}))
            << c.moduleSize;
        EXPECT_EQ(std::vector<uint8_t>(rom.begin() + 10, rom.begin() + c.moduleSize),
                  std::vector<uint8_t>(module.begin() + 10, module.end()));
        EXPECT_EQ(ByteSum(rom), 0u) << c.moduleSize;
        // Only the checksum byte follows the module; the rest of the padding is zero.
        EXPECT_EQ(std::count(rom.begin() + c.moduleSize + 1, rom.end(), 0), c.length - c.moduleSize - 1);
    }
}

TEST(ExecutableRom, RefusesWithTheReason) {
    const auto good = test::Executable(test::BootModule(64), 0, 0x100);
    std::string notMz = good;
    notMz[0] = 'Z';
    std::string noSignature = good;
    noSignature[32] = 0x00;
    std::string headerBeyondFile = good;
    headerBeyondFile[8] = 0x40;  // 64 paragraphs: 1024 bytes
    std::string tooLarge = good;
    tooLarge[4] = static_cast<char>(0x82);  // 0x382 pages of 512 bytes
    tooLarge[5] = 0x03;
    std::string shortFile = good.substr(0, good.size() - 1);
    std::string noModule = good;
    noModule[4] = 0;  // no pages: a negative module
    const struct {
        const char* what;
        std::string file;
        std::string message;
    } cases[] = {
        {"no MZ", notMz, "File boot.img is not a valid PCI Bios Image format\n"},
        {"short header", good.substr(0, 27), "File boot.img is not a valid PCI Bios Image format\n"},
        {"header beyond the file", headerBeyondFile, "Finding PCI Bios Image start failed.\n"},
        {"module over 0x70000", tooLarge, kTooLarge},
        {"module of 0x70000: an image of 0x70800", test::Executable(test::BootModule(0x70000), 0, 0x100),
         kTooLarge},
        {"module cut short", shortFile, "\nUnable to read the PCI Bios Image!!!!\n"},
        {"no 55 AA", noSignature, kNotPci},
        {"no module", noModule, kNotPci},
        {"module shorter than the entry", test::Executable(test::BootModule(9), 0, 0x100), kNotPci},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const ImageRead read = ReadExecutableRom(bytes.data(), bytes.size(), "boot.img");
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_EQ(read.message, c.message) << c.what;
    }
}

TEST(SramText, ExactlyTheConfigurationsByteCountOfOneByteEach) {
    const struct {
        const char* what;
        std::string file;
        bool ok;
        std::string message;
    } cases[] = {
        {"2112 values", test::SramText(2112), true, ""},
        {"2111 values", test::SramText(2111), false, ""},
        {"text after 2112 values that is no value", test::SramText(2112) + "zz", true, ""},
        {"a value that is no number ends the reading", test::SramText(100) + "g1\n" + test::SramText(2011),
         false, ""},
        {"2113 values", test::SramText(2113), false, "\nImage file holds more than 2112 values!!!!\n"},
        {"three digits", test::SramText(2) + "123\n" + test::SramText(2109), false,
         "\nImage file line 3 holds a value that is not one byte!!!!\n"},
        {"three digits on a line of values", "00 01\n02 fff 03\n" + test::SramText(2108), false,
         "\nImage file line 2 holds a value that is not one byte!!!!\n"},
        {"a value followed by no white space", "1g\n" + test::SramText(2111), false,
         "\nImage file line 1 holds a value that is not one byte!!!!\n"},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const ImageRead read = ReadSramText(bytes.data(), bytes.size());
        EXPECT_EQ(read.ok, c.ok) << c.what;
        EXPECT_EQ(read.message, c.message) << c.what;
        EXPECT_EQ(read.image.length, c.ok ? 2112u : 0u) << c.what;
    }
    const auto bytes = Bytes("ff\r\n0\n  A7 1\n" + test::SramText(2108));
    const auto image = ImageBytes(ReadSramText(bytes.data(), bytes.size()).image);
    ASSERT_EQ(image.size(), 2112u);
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 5),
              (std::vector<uint8_t>{0xFF, 0, 0xA7, 1, 1}));
}

}  // namespace
}  // namespace qv::qvtool
