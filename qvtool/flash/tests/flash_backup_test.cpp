// The form of the backup -p saves: a binary firmware file exactly when programming it back leaves the
// erased sectors as they were. The oracle replays -p on the file: erase, write the words, write the
// version word apart when the image stops short of it.
#include "qv/qvtool/flash/flash_backup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "qv/qvtool/flash/flash_ops.h"

namespace qv::qvtool {
namespace {

constexpr size_t kSectorWords = kFlashSectorBytes / 4;
constexpr size_t kVersionIndex = (kFlashVersionAddress - kFlashFirmwareAddress) / 4;

// count words: a counting body and the word that makes the sum 0xFFFFFFFF.
std::vector<uint32_t> Firmware(size_t count, uint32_t step) {
    std::vector<uint32_t> words(count);
    for (size_t i = 0; i + 1 < count; ++i) words.back() -= words[i] = static_cast<uint32_t>((i + 1) * step);
    words.back() -= 1;
    return words;
}

// The sectors as -p leaves them after programming the words.
std::vector<uint32_t> Programmed(const std::vector<uint32_t>& words, size_t sectors) {
    std::vector<uint32_t> area(sectors * kSectorWords, kFlashErasedWord);
    std::copy(words.begin(), words.end(), area.begin());
    if (VersionWordWrittenApart(4 * words.size()))
        area[kVersionIndex] = words.size() >= 2 ? words[words.size() - 2] : 0;
    return area;
}

std::vector<uint32_t> With(std::vector<uint32_t> area, size_t index, uint32_t value) {
    area[index] = value;
    return area;
}

TEST(FlashBackup, FirmwareIsABinaryFileExactlyWhenProgrammingItBackRestoresTheSectors) {
    const FlashPart& part = *FindFlashPart(0x13);
    struct Case {
        std::vector<uint32_t> area;
        size_t words;  // of the image found, 0 for none
    };
    const Case cases[] = {
        {Programmed(Firmware(3, 7), 1), 3},
        {Programmed({7, kFlashErasedWord, kFlashErasedWord, 9, 0xFFFFFFF1}, 1), 5},  // erased words inside
        {Programmed(Firmware(kVersionIndex, 3), 1), kVersionIndex},  // ends just before the version word
        {Programmed(Firmware(kSectorWords, 5), 1), kSectorWords},    // carries the version word itself
        {Programmed(Firmware(kSectorWords + 1, 9), 2), kSectorWords + 1},
        {Programmed({kFlashErasedWord}, 1), 0},  // one word is no firmware
        {Programmed(Firmware(3, 7), 2), 0},      // would not erase the second sector
        {With(Programmed(Firmware(3, 7), 1), 100, 0x12345678), 0},
        {With(Programmed(Firmware(3, 7), 1), kVersionIndex, 0x00070210), 0},
        {With(std::vector<uint32_t>(kSectorWords, kFlashErasedWord), kVersionIndex, 0x00070210), 0},
        {std::vector<uint32_t>(kSectorWords, kFlashErasedWord), 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        std::vector<uint8_t> bytes(4 * c.area.size());
        std::memcpy(bytes.data(), c.area.data(), bytes.size());
        EXPECT_EQ(RestorableFirmwareWords(bytes, part), c.words);
        const BackupForm form = ChooseBackupForm(
            {"firmware", kFlashFirmwareAddress, static_cast<uint32_t>(bytes.size())}, bytes, part);
        ASSERT_EQ(form.restores, c.words != 0);
        if (!form.restores) {
            EXPECT_STREQ(form.extension, "raw");
            EXPECT_EQ(form.contents, std::string(bytes.begin(), bytes.end()));
            continue;
        }
        EXPECT_STREQ(form.extension, "bin");
        std::vector<uint32_t> words(form.contents.size() / 4);
        for (size_t w = 0; w < words.size(); ++w) {
            for (size_t b = 0; b < 4; ++b)
                words[w] = words[w] << 8 | static_cast<uint8_t>(form.contents[4 * w + b]);
        }
        EXPECT_EQ(Programmed(words, c.area.size() / kSectorWords), c.area);
    }
}

TEST(FlashBackup, TheBootAreaIsSavedAsStoredAndRestoresWhenItStartsWith55AA) {
    const FlashPart& part = *FindFlashPart(0x13);
    for (const auto& [start, note] :
         {std::pair<uint16_t, const char*>{0xAA55, "program it back with -p to restore the area"},
          {0xFFFF, "the area is blank, there is nothing to program back"},
          {0xAB55, "it does not start with 55 AA and is kept for inspection only"}}) {
        std::vector<uint8_t> bytes(kFlashSectorBytes, 0xFF);
        std::memcpy(bytes.data(), &start, 2);
        const BackupForm form = ChooseBackupForm({"boot", 0, kFlashSectorBytes}, bytes, part);
        EXPECT_STREQ(form.extension, "rom");
        EXPECT_EQ(form.contents, std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(form.restores, start == 0xAA55);
        EXPECT_STREQ(form.note, note);
    }
}

}  // namespace
}  // namespace qv::qvtool
