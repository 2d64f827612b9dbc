// The sections table's invariants, the matching of section names, the section file reader and the
// dump formats.
#include "qv/qvtool/eeprom/sections.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/qvtool/eeprom/section_text.h"

namespace qv::qvtool {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// count lines of "%02x\n", the values counting up from 0.
std::string ValueLines(size_t count) {
    std::vector<uint8_t> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = static_cast<uint8_t>(i);
    return FormatSectionValues(values);
}

TEST(EepromSections, TableSelfCheck) {
    const auto sections = EepromSections();
    ASSERT_EQ(sections.size(), 3u);
    for (size_t i = 0; i < sections.size(); ++i) {
        const EepromSection& s = sections[i];
        SCOPED_TRACE(s.name);
        EXPECT_GT(s.compareLength, 0u);
        EXPECT_LE(s.compareLength, std::strlen(s.name));
        EXPECT_EQ(s.start % 4, 0u) << "sections start on a word";
        // Covered in whole words, inside the part, clear of the protection word and of the next section.
        const uint32_t end = s.start + (s.length + 3) / 4 * 4;
        EXPECT_LE(end, kEepromBytes);
        EXPECT_TRUE(end <= kEepromProtectionWord || s.start > kEepromProtectionWord);
        if (i + 1 < sections.size()) {
            EXPECT_LE(end, sections[i + 1].start);
        }
        // Each section's own name finds it: no earlier entry takes it.
        EXPECT_EQ(FindEepromSection(s.name), &s);
        EXPECT_EQ(s.writable, s.dump == DumpStyle::kValues) << "only the value files can be written back";
    }
}

TEST(EepromSections, NamesMatchWithoutCaseOverTheirCompareLength) {
    const struct {
        const char* argument;
        const char* section;  // null: none
    } cases[] = {
        {"vpd", "vpd"},         {"VPD", "vpd"},   {"vpdx", "vpd"},   {"Psram", "psram"}, {"PSRAM", "psram"},
        {"psram.txt", "psram"}, {"scfg", "scfg"}, {"SCFG0", "scfg"}, {"vp", nullptr},    {"psra", nullptr},
        {"scf", nullptr},       {"", nullptr},    {"xvpd", nullptr}, {"sram", nullptr},
    };
    for (const auto& c : cases) {
        const EepromSection* found = FindEepromSection(c.argument);
        EXPECT_STREQ(found != nullptr ? found->name : nullptr, c.section) << c.argument;
    }
}

TEST(SectionFile, ReadsExactlyTheSectionsCountOfOneByteValues) {
    const EepromSection& psram = *FindEepromSection("psram");
    const EepromSection& scfg = *FindEepromSection("scfg");
    const struct {
        const EepromSection& section;
        std::string file;
        bool ok;
        std::string reason;
    } cases[] = {
        {scfg, ValueLines(98), true, ""},
        {scfg, ValueLines(97), false, ""},
        {scfg, "", false, ""},
        {scfg, ValueLines(98) + "junk", true, ""},  // text that is no value ends the values
        {scfg, ValueLines(50) + "zz\n" + ValueLines(48), false, ""},
        {psram, ValueLines(2112), true, ""},
        {psram, ValueLines(2111), false, ""},
        {scfg, ValueLines(99), false, "Line 99 holds a value past the 98 bytes of section scfg\n"},
        {psram, ValueLines(2112) + "0", false,
         "Line 2113 holds a value past the 2112 bytes of section psram\n"},
        {scfg, ValueLines(2) + "123\n" + ValueLines(95), false,
         "Line 3 holds a value that is not one byte\n"},
        {scfg, "00 01\r\n02 fff\r\n" + ValueLines(94), false, "Line 2 holds a value that is not one byte\n"},
        {scfg, "ff,\n" + ValueLines(97), false, "Line 1 holds a value that is not one byte\n"},
    };
    for (const auto& c : cases) {
        const auto bytes = Bytes(c.file);
        const SectionFileRead read = ReadSectionFile(c.section, bytes.data(), bytes.size());
        EXPECT_EQ(read.values.has_value(), c.ok) << c.section.name << " " << c.file.size();
        EXPECT_EQ(read.values.value_or(std::vector<uint8_t>()).size(), c.ok ? c.section.length : 0);
        EXPECT_EQ(read.reason, c.reason) << c.section.name << " " << c.file.size();
    }
    const auto bytes = Bytes("ff\r\n0\n  A7\n" + ValueLines(95));
    const auto values = ReadSectionFile(scfg, bytes.data(), bytes.size()).values;
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(std::vector<uint8_t>(values->begin(), values->begin() + 4),
              (std::vector<uint8_t>{0xFF, 0x00, 0xA7, 0x00}));
}

TEST(SectionText, DumpFormats) {
    const std::vector<uint8_t> bytes{0x41, 0x00, 0x7A, 0x39, 0x2D, 0xC1};
    EXPECT_EQ(FormatVpdDump(bytes),
              "\n0x0000:41:A\n0x0001:00:\n0x0002:7a:z\n0x0003:39:9\n0x0004:2d:\n0x0005:c1:");
    EXPECT_EQ(FormatSectionValues(bytes), "41\n00\n7a\n39\n2d\nc1\n");
    const std::string dump = FormatSectionDump(*FindEepromSection("vpd"), std::vector<uint8_t>(4096, 0x20));
    EXPECT_EQ(dump.size(), 4096u * 11);
    EXPECT_EQ(dump.substr(dump.size() - 11), "\n0x0FFF:20:") << "four upper-case digits, no line end";
}

}  // namespace
}  // namespace qv::qvtool
