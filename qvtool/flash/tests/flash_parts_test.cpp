// The flash parts table's invariants: what the operations and the adapter's layout rely on.
#include "qv/qvtool/flash/flash_parts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "qv/qvtool/flash/flash_identify.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

TEST(FlashParts, SizesAddUpAndSectorsCoverEachPart) {
    ASSERT_FALSE(FlashParts().empty());
    for (const FlashPart& part : FlashParts()) {
        SCOPED_TRACE(part.name);
        EXPECT_EQ(static_cast<uint64_t>(part.sectorBytes) * part.sectorCount, part.totalBytes);
        // The operations erase with the 64 KiB command and program 256-byte pages on every part.
        EXPECT_EQ(part.sectorBytes, kFlashSectorBytes);
        EXPECT_EQ(part.pageBytes, kFlashPageBytes);
        EXPECT_LE(part.totalBytes, kFlashAddressSpace);
        // The firmware area, with its version word, lies inside every part.
        EXPECT_TRUE(
            FlashPartHolds(part, kFlashFirmwareAddress, kFlashVersionAddress + 4 - kFlashFirmwareAddress));
        EXPECT_FALSE(FlashPartHolds(part, part.totalBytes - 4, 8));
    }
}

TEST(FlashParts, SignaturesAndNamesAreUniqueAndFound) {
    std::set<uint8_t> signatures;
    std::set<std::string> names;
    for (const FlashPart& part : FlashParts()) {
        EXPECT_TRUE(signatures.insert(part.signature).second) << part.name;
        EXPECT_TRUE(names.insert(part.name).second) << part.name;
        EXPECT_EQ(FindFlashPart(part.signature), &part);
    }
    EXPECT_EQ(FindFlashPart(0xFF), nullptr);  // what a missing flash answers
    EXPECT_EQ(FindFlashPart(0x00), nullptr);
}

// Before any erase: only a flash that answered, went idle and names a part of the table is taken.
TEST(FlashParts, AFlashIsTakenOnlyWhenIdleAndKnown) {
    struct Case {
        FlashProbe probe;
        const char* refusal;  // null: taken
    };
    const char* unknown =
        "The serial flash does not answer as a known part (device ID 0x%02X): nothing was erased.\n";
    const Case cases[] = {
        {{true, true, 0x12}, nullptr},
        {{true, true, 0x15}, nullptr},
        {{true, true, 0x00}, unknown},
        {{true, true, 0x16}, unknown},
        {{true, true, 0xFF}, unknown},
        {{true, false, 0x13}, "The serial flash stays busy (device ID 0x%02X): nothing was erased.\n"},
        {{false, true, 0x13}, "The serial flash does not answer: nothing was erased.\n"},
    };
    for (const Case& c : cases) {
        std::FILE* out = std::tmpfile();
        const FlashPart* part = AcceptFlashPart(c.probe, out);
        const std::string printed = qv::testing::ReadStream(out);
        std::fclose(out);
        if (c.refusal == nullptr) {
            ASSERT_NE(part, nullptr);
            EXPECT_EQ(part->signature, c.probe.signature);
            EXPECT_EQ(printed, "");
            continue;
        }
        char line[160];
        std::snprintf(line, sizeof line, c.refusal, c.probe.signature);
        EXPECT_EQ(part, nullptr);
        EXPECT_EQ(printed, std::string(line) + "Power-cycle the server or run the command again.\n");
    }
}

}  // namespace
}  // namespace qv::qvtool
