// The flash parts table's invariants: what the operations and the adapter's layout rely on.
#include "qv/qvtool/flash/flash_parts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qv/qvtool/flash/flash_ops.h"

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

}  // namespace
}  // namespace qv::qvtool
