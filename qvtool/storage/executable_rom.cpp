// The boot image inside a DOS executable. The executable's load module is a PCI expansion ROM whose
// header is rewritten so that the ROM's entry (bytes 3 to 9) sets DS from CS and jumps to the
// executable's entry point, then padded and given the checksum the PCI ROM rules ask for.
#include <cstring>

#include "messages.h"
#include "qv/qvtool/storage/image_readers.h"

namespace qv::qvtool {
namespace {

constexpr size_t kExeHeaderBytes = 28;
constexpr uint16_t kExeSignature = 0x5A4D;  // "MZ"
constexpr int64_t kPageBytes = 512;
constexpr int64_t kRomBlock = 2048;
// mov ax, cs; mov ds, ax; jmp near (its 16-bit displacement follows at bytes 8 and 9).
constexpr uint8_t kRomEntryCode[] = {0x8C, 0xC8, 0x8E, 0xD8, 0xE9};
constexpr uint16_t kJumpEnd = 10;  // the displacement counts from the end of the jump
// The ROM signature and the rewritten entry must lie inside the load module.
constexpr int64_t kMinModuleBytes = kJumpEnd;

uint16_t Word16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The image built from a module: the module rounded down to whole blocks, plus one block, so that
// the checksum byte always has room after the data.
int64_t BuiltImageBytes(int64_t moduleBytes) {
    return moduleBytes / kRomBlock * kRomBlock + kRomBlock;
}

}  // namespace

ImageRead ReadExecutableRom(const uint8_t* data, size_t size, const std::string& path) {
    ImageRead read;
    if (size < kExeHeaderBytes || Word16(data) != kExeSignature) {
        AppendFormat(&read.message, "File %s is not a valid PCI Bios Image format\n", path.c_str());
        return read;
    }
    const size_t headerBytes = size_t{16} * Word16(data + 8);
    if (headerBytes > size) {
        read.message = "Finding PCI Bios Image start failed.\n";
        return read;
    }
    // Computed wide: the header's counts may describe no module at all or a negative one.
    int64_t moduleBytes = kPageBytes * Word16(data + 4) - static_cast<int64_t>(headerBytes);
    const uint16_t lastPageBytes = Word16(data + 2);
    if (lastPageBytes != 0) moduleBytes -= kPageBytes - lastPageBytes;
    // The built image, not the module, must fit the boot area: it ends where the firmware begins.
    if (BuiltImageBytes(moduleBytes) > int64_t{kMaxBootImageBytes}) {
        read.message = kTooLargeMessage;
        return read;
    }
    if (moduleBytes > 0 && static_cast<size_t>(moduleBytes) > size - headerBytes) {
        read.message = "\nUnable to read the PCI Bios Image!!!!\n";
        return read;
    }
    const uint8_t* module = data + headerBytes;
    if (moduleBytes < kMinModuleBytes || module[0] != 0x55 || module[1] != 0xAA) {
        read.message = kNotPciMessage;
        return read;
    }
    const size_t n = static_cast<size_t>(moduleBytes);
    std::vector<uint8_t> rom(static_cast<size_t>(BuiltImageBytes(moduleBytes)), 0);
    std::memcpy(rom.data(), module, n);

    rom[2] = static_cast<uint8_t>(rom.size() / 512);
    const uint16_t entry = static_cast<uint16_t>(Word16(&rom[5]) * 16 + Word16(&rom[3]));
    std::memcpy(&rom[3], kRomEntryCode, sizeof kRomEntryCode);
    const uint16_t displacement = static_cast<uint16_t>(entry - kJumpEnd);
    rom[8] = static_cast<uint8_t>(displacement & 0xFF);
    rom[9] = static_cast<uint8_t>(displacement >> 8);

    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + rom[i]);
    rom[n] = static_cast<uint8_t>(-sum);
    uint8_t total = 0;
    for (const uint8_t b : rom) total = static_cast<uint8_t>(total + b);
    if (total != 0) {
        AppendFormat(&read.message, "\nImage in memory has incorrect 0x%02X checksum !!!!\n", total);
        return read;
    }
    read.ok = true;
    read.image = ImageFromBytes(rom.data(), rom.size());
    return read;
}

}  // namespace qv::qvtool
